#pragma once

#include <string>

// `links` without its first entry whose leading numbers equal the numbers
// of `token`; the entry is those numbers and `extra` more (2 for an
// outgoing entry given by its target, 0 for an entry given whole). One
// separating space goes with it. Unchanged when no entry matches.
std::string RemoveLinkEntry(const std::string& links, const std::string& token, int extra);

// A link text (entries of `width` numbers, the first two a position) after
// node (circle, removed) left its circle: entries naming it are dropped,
// entries naming a later node of that circle move down by one. False when
// nothing changes; otherwise the new text is in `out`.
bool FollowNodeRemoval(const std::string& links, int width, int circle, int removed, std::string& out);
