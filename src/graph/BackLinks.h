#pragma once

class CNode;

// Appends " <circle> <index>" to the incoming list of every node that an
// outgoing link points at. Like every node-by-node scan it reads the links
// of each circle's first node only; targets that do not exist are skipped.
void BuildBackLinks(CNode& graph);
