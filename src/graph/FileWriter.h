#pragma once

#include <string>

// Writes the text to what `path` names, as a user expects of a save: a
// symbolic link's target receives it and the link stays; a device or FIFO
// is written into; a file keeps its permissions and owner, and is replaced
// through a temporary file beside it, so a failed write (a full disk, the
// file-size limit) leaves the old contents and no temporary file. A file
// with several hard links, or in a folder the program may not create files
// in, is overwritten in place after its new size is claimed. A read-only
// file is refused. False with a message naming the path and the reason.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error);

// The whole of the file `path` names into `text`; an empty file gives an
// empty text. False with a message naming the path and the reason when it
// cannot be opened or read (a folder, say).
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);
