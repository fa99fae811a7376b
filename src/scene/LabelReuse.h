#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbLinear.h>

#include "CoinPtr.h"

class SoNode;
class SoSeparator;
class SoTransform;

// The label groups of a circle's old label groups that a rebuild would
// make again: [transform, offset, text] with the text's own name. A
// rebuilt circle takes those over, moving a label whose node moved,
// instead of making thousands of texts anew (a deletion shifts the nodes
// after it; its undo shifts them back).
class CLabelReuse {
public:
    // The label groups under `greenGroup` and `redGroup` (either may be null).
    CLabelReuse(SoSeparator* greenGroup, SoSeparator* redGroup);
    ~CLabelReuse();
    CLabelReuse(const CLabelReuse&) = delete;
    CLabelReuse& operator=(const CLabelReuse&) = delete;

    // An old group of the given colour showing `name` at `offset`, each
    // taken once, with its transform set to `matrix`; null when there is none.
    SoSeparator* Take(const std::string& name, bool red, const SbVec3f& offset, const SbMatrix& matrix);

private:
    struct Old {
        CoinPtr<SoSeparator> group;
        bool red;
        bool taken = false;
    };
    void Collect(SoSeparator* parent, bool red);

    std::vector<Old> m_old;
    std::unordered_multimap<std::string, size_t> m_byName;
    CoinPtr<SoTransform> m_scratch;
};
