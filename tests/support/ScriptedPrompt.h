#pragma once

#include <deque>
#include <string>
#include <vector>

#include "UserPrompt.h"

// One dialog's answers in order (none left: the curator cancels) and the
// values each opening started with.
template <class Dialog>
struct DialogScript {
    bool Run(Dialog& dlg) {
        opened.push_back(dlg);
        if (answers.empty()) {
            return false;
        }
        dlg = answers.front();
        answers.pop_front();
        return true;
    }
    std::deque<Dialog> answers;
    std::vector<Dialog> opened;
};

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

    // Each entry answers one data source dialog; none left: Cancel.
    bool ChooseDataSource(const DataSourceOffer& offer, DataSourceChoice& choice) override {
        dataSourceOffers.push_back(offer);
        if (dataSourceAnswers.empty()) {
            return false;
        }
        choice = dataSourceAnswers.front();
        dataSourceAnswers.pop_front();
        return true;
    }

    bool RunRename(CDlgRename& dlg) override { return rename.Run(dlg); }
    bool RunNewMolecule(CDlgNewMolecule& dlg) override { return newMolecule.Run(dlg); }
    bool RunSetRelation(CDlgSetRelation& dlg) override { return setRelation.Run(dlg); }
    bool RunMoreInfo(CDlgMoreInfo& dlg) override { return moreInfo.Run(dlg); }
    bool RunDelete(CDlgDelete& dlg) override { return deleteDlg.Run(dlg); }
    bool AskImageExport(ImageChoice& choice) override { return imageExport.Run(choice); }

    DialogScript<CDlgRename> rename;
    DialogScript<CDlgNewMolecule> newMolecule;
    DialogScript<CDlgSetRelation> setRelation;
    DialogScript<CDlgMoreInfo> moreInfo;
    DialogScript<CDlgDelete> deleteDlg;
    DialogScript<ImageChoice> imageExport;
    std::deque<Answer> answers;
    std::deque<Radii> radiiAnswers;
    std::vector<Radii> radiiShown;
    std::deque<DataSourceChoice> dataSourceAnswers;
    std::vector<DataSourceOffer> dataSourceOffers;
    std::deque<std::string> files;
    std::vector<std::string> messages;
    std::vector<std::string> details_;
    int seriesShown = 0;
    int leaveSeriesAt = -1;
    std::vector<std::string> questions;
    std::vector<FileChoice> choices;
    bool lastAskHadCancel = false;
};
