#pragma once

// Coin interns every SbName (node names, field and enum names, type names)
// in one process-wide hash table with a fixed 1999 buckets. A box scene of
// 100k interactions gives it some 300k distinct node names, after which
// every name look-up, and so every node construction and destruction,
// walks chains of 150 entries: building the scene grows with the square
// of its size. This file supplies the table's two C entry points,
// cc_namemap_get_address and cc_namemap_peek_string, with a growing hash
// set; Coin calls them through its procedure linkage table, so the
// dynamic linker binds those calls to these definitions in any executable
// that links this file. The contract is unchanged: equal strings give the
// same permanent address.

// Creates the table; InitSceneClasses calls it, which also makes sure the
// definitions are linked in.
void InstallSceneNameTable();

// Whether Coin's SbName interning goes through this table in the running
// program (false if the linker kept Coin's own).
bool IsSceneNameTableActive();
