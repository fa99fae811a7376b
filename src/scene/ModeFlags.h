#pragma once

// The main frame's nine mode flags, in three groups with exactly one flag
// set in each: label mode, highlight mode, selection mode.
struct ModeFlags {
    int m_bCharViewAll = 1;
    int m_bCharViewRed = 0;
    int m_bCharViewBoth = 0;
    int m_bCharViewNothing = 0;
    int m_bViewWithBox = 1;
    int m_bViewByColor = 0;
    int m_bSelectiveShowing = 0;
    int m_bSelectOne = 1;
    int m_bSelectRelated = 0;
};
