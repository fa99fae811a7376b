#pragma once

#include <QString>

// Turns a resource filter "description | pattern;pattern || ..." into a
// Qt name filter list "description (pattern pattern);;...". The patterns
// replace any parenthesised patterns the description ends with, so Qt
// matches exactly what the resource lists.
QString ConvertResourceFilter(const QString& filter);
