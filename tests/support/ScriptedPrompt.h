#pragma once

#include <deque>
#include <string>
#include <vector>

#include "UserPrompt.h"

// Answers the core's questions from a script and records what it was shown.
class ScriptedPrompt : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
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

    // Each entry answers one radius dialog: OK with those values, or
    // Cancel when the deque is empty.
    bool AskRadii(Radii& radii) override {
        radiiShown.push_back(radii);
        if (radiiAnswers.empty()) {
            return false;
        }
        radii = radiiAnswers.front();
        radiiAnswers.pop_front();
        return true;
    }

    std::deque<Answer> answers;
    std::deque<Radii> radiiAnswers;
    std::vector<Radii> radiiShown;
    std::deque<std::string> files;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<FileChoice> choices;
    bool lastAskHadCancel = false;
};
