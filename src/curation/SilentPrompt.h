#pragma once

#include <string>

#include "UserPrompt.h"

// The curator of a run without a window: answers every question No and is
// shown nothing.
class CSilentPrompt : public IUserPrompt {
public:
    void ShowMessage(const std::string&) override {}
    Answer Ask(const std::string&, bool) override { return Answer::No; }
    bool ChooseFile(const FileChoice&, std::string&) override { return false; }
};
