#pragma once

#include <deque>
#include <string>
#include <vector>

#include "UserPrompt.h"

// Answers the core's questions from a script and records what it was shown.
class ScriptedPrompt : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    // Recorded with the plain messages; the curator leaves the series at
    // the message numbered `leaveSeriesAt` (0-based), if any.
    bool ShowSeriesMessage(const std::string& text) override {
        messages.push_back(text);
        return seriesShown++ == leaveSeriesAt;
    }
    void ShowMessageWithDetails(const std::string& text, const std::string& details) override {
        messages.push_back(text);
        details_.push_back(details);
    }
    Answer Ask(const std::string& text, bool withCancel) override {
        questions.push_back(text);
        lastAskHadCancel = withCancel;
        if (answers.empty()) {
            return Answer::Cancel;
        }
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool ChooseFile(const FileChoice& choice, std::string& path) override {
        choices.push_back(choice);
        if (files.empty()) {
            return false;  // the curator cancels
        }
        path = files.front();
        files.pop_front();
        return true;
    }

    std::deque<Answer> answers;
    std::deque<std::string> files;
    std::vector<std::string> messages;
    std::vector<std::string> details_;
    int seriesShown = 0;
    int leaveSeriesAt = -1;
    std::vector<std::string> questions;
    std::vector<FileChoice> choices;
    bool lastAskHadCancel = false;
};
