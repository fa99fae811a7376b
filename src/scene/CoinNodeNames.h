#pragma once

// Coin files every named node in two process-wide tables: node to name,
// and name to the nodes that bear it, one plain array per name. Taking a
// node out of its name (when it is renamed or destroyed) looks for it from
// the array's start and closes the gap behind it, so each node that leaves
// a scene costs a pass over every node of its name. Our scenes give one
// name to a hundred thousand material nodes ("node_material_red", the edge
// materials): releasing a large scene grew with the square of its size and
// took seconds. This file supplies the entry points of those two tables,
// which Coin calls through its procedure linkage table (SoBase::addName,
// getName, getNamedBase, getNamedBases and the two private removals), with
// tables that find a node's place at once. What they answer is unchanged:
// a node's name, and for each name its nodes in the order they were named,
// the last of which is what a search by name finds.

// Creates the tables; InitSceneClasses calls it, which also makes sure the
// definitions are linked in.
void InstallSceneNodeNames();

// Whether Coin's node naming goes through these tables in the running
// program (false if the linker kept Coin's own).
bool IsSceneNodeNamesActive();
