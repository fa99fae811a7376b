#pragma once

// The view as the scenes see it, without a window: the benches' stand-in
// for the shell. It keeps what the scene tells the view, so that a bench
// can check a command did its work.

#include <string>

#include <Inventor/SbViewportRegion.h>

#include "ModeFlags.h"
#include "SceneHost.h"

class BenchHost : public ISceneHost {
public:
    const ModeFlags& GetModeFlags() const override { return m_flags; }
    const SbViewportRegion& GetViewportRegion() const override { return m_viewport; }
    void RedrawOnSelectionChange(SoSelection* /*selection*/) override {}
    void SetNodeNameText(const std::string& text) override { m_nodeName = text; }
    void SetTextSourceText(const std::string& text) override { m_textSource = text; }
    void ShowMessage(const std::string& text) override { ++m_messages, m_lastMessage = text; }

    // Edges coloured by kind, as a curator reads them, instead of boxed.
    void ViewByColor() {
        m_flags.m_bViewWithBox = 0;
        m_flags.m_bViewByColor = 1;
    }

    ModeFlags m_flags;
    SbViewportRegion m_viewport{1024, 768};
    std::string m_nodeName, m_textSource, m_lastMessage;
    int m_messages = 0;
};
