#pragma once

#include <string>

// Reads the integer of a dialog's edit field the way the dialogs always
// have: blanks around an optionally signed decimal number, nothing else.
// False with the framework's standard message ("Please enter an integer."
// or "Please enter an integer between MIN and MAX.") when the text is no
// integer or lies outside [min, max].
bool ReadIntegerField(const std::string& text, int min, int max, int& value, std::string& message);
