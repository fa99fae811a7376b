// The review commands of the frame: each builds a review engine over the
// document, the two representations of the view and the frame's prompt,
// for the duration of one command.
#include "ReviewCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include <optional>

#include "BoxRep.h"
#include "CommandIds.h"
#include "DlgMoleculeNumber.h"
#include "EditHistory.h"
#include "MainFrm.h"
#include "MarkerFilters.h"
#include "ReviewEngine.h"
#include "SettingsKeys.h"
#include "SphereVision.h"
#include "StartupLoadRunner.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ReviewCommands", text); }

// The representations of the view; the sphere's commands do nothing until
// the sphere view was built.
ReviewTargets TargetsOf(const CTarnwickView* view) {
    ReviewTargets targets;
    if (!view) {
        return targets;
    }
    targets.box = view->GetBox();
    targets.sphere = view->GetSphere();
    targets.shown = view->GetCommandTarget();
    return targets;
}

constexpr int kKeepVerdicts = 32900;  // an id of our own, beside the table's
const char* const kKeepVerdictsKey = "Review/KeepVerdicts";

void RememberKeepVerdicts(bool on) {
    QSettings(SettingsOrganization(), SettingsApplication()).setValue(QLatin1String(kKeepVerdictsKey), on);
}

// Keeping turned itself off (the source refused): say why and uncheck.
void ReportKeepingOff(CMainFrame& frame, const std::string& error) {
    frame.GetUserPrompt().ShowMessageWithDetails(
        Tr("The data source cannot keep review verdicts; keeping them is turned off.").toStdString(), error);
    if (QAction* keep = frame.FindCommand(kKeepVerdicts)) {
        keep->setChecked(false);
    }
    RememberKeepVerdicts(false);
}

QString ProgressText(const ReviewProgress& p) {
    return p.over == ReviewProgress::Over::Interactions
               ? Tr("Reviewing the interactions: %L1 of %L2").arg(p.done).arg(p.total)
               : Tr("Reviewing the pathway: %L1 of %L2 nodes").arg(p.done).arg(p.total);
}

// Once the command's own messages are done: the status bar already counts
// the selection, so the note is added to it.
void ConfirmKept(CMainFrame& frame, size_t verdicts) {
    QTimer::singleShot(0, &frame, [f = &frame, verdicts] {
        const QString note = verdicts == 1 ? Tr("1 review verdict kept in the data source")
                                           : Tr("%L1 review verdicts kept in the data source").arg(verdicts);
        const QString before = f->statusBar()->currentMessage();
        f->statusBar()->showMessage(before.isEmpty() ? note : before + QStringLiteral("; ") + note);
    });
}

// The command runs with its progress in the status bar and the window
// painting; the engine stops a walk on Cancel only where that loses nothing.
// What Undo and Redo call a command: its menu text without mnemonics.
std::string ActionName(CMainFrame& frame, int id) {
    const QAction* action = frame.FindCommand(id);
    QString text = action ? action->text() : QString();
    return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))).trimmed().toStdString();
}

// The states the command `id` sets can be undone under its name.
template <class Command>
void WithEngine(CMainFrame& frame, int id, Command command) {
    CTarnwickDoc& doc = frame.GetActiveDocument();
    CReviewEngine engine(doc, doc.m_pGraph.get(), TargetsOf(frame.GetActiveView()), frame.GetUserPrompt(),
                         doc.m_review);
    CStartupLoadRunner runner(&frame, frame.GetActiveView());
    runner.RunHere([&](const CStartupLoadRunner::Report& report) {
        engine.SetProgress([&report](const ReviewProgress& p) {
            const int percent = p.total > 0 ? static_cast<int>(100.0 * static_cast<double>(p.done) / p.total) : -1;
            return report(ProgressText(p), percent, p.cancellable);
        });
        std::optional<CEditScope> scope;
        if (doc.m_pGraph) {
            scope.emplace(&doc.m_history, *doc.m_pGraph, ActionName(frame, id));
        }
        command(engine, doc);
    });
    KeepReviewVerdicts(frame, engine.GetVerdicts());
}

// Menu texts of the commands without a place in the menus; the table's order.
struct ReviewCommand {
    int id;
    const char* text;
};
const ReviewCommand kFilterTexts[] = {
    {32809, "Conjunctions in Members"},
    {32813, "Prepositions in Members"},
    {32814, "Expression Words"},
    {32810, "Verbs Against Relation Kinds"},
    {32811, "In Vitro and In Vivo"},
    {32817, "Experiment Methods"},
    {32812, "Organisms"},
    {32826, "Localization"},
    {32815, "Modality and Degree"},
    {32819, "Simple Coordination"},
    {32803, "All Member Markers"},
};

}  // namespace

void KeepReviewVerdicts(CMainFrame& frame, const std::vector<std::pair<std::string, int>>& verdicts) {
    CVerdictKeeper& keeper = frame.GetActiveDocument().m_verdicts;
    std::string error;
    const bool keeping = keeper.IsOn();
    if (!keeper.Keep(verdicts, error)) {
        ReportKeepingOff(frame, error);
    } else if (keeping && !verdicts.empty()) {
        ConfirmKept(frame, verdicts.size());
    }
}

void RegisterReviewCommands(CMainFrame& frame) {
    CMainFrame* f = &frame;
    std::vector<int> menu;
    for (const ReviewCommand& c : kFilterTexts) {
        const MarkerFilter* filter = FindMarkerFilter(c.id);
        frame.AddFeatureCommand(c.id, Tr(c.text), [f, filter, id = c.id] {
            WithEngine(*f, id, [filter](CReviewEngine& engine, CTarnwickDoc& doc) {
                RunMarkerFilter(engine, doc.m_review, *filter);
            });
        });
        menu.push_back(c.id);
    }
    // In Tune(&T) already.
    const MarkerFilter* specific = FindMarkerFilter(cmd::CoordinationSpecific);
    frame.AddFeatureCommand(cmd::CoordinationSpecific, QString(), [f, specific] {
        WithEngine(*f, cmd::CoordinationSpecific, [specific](CReviewEngine& engine, CTarnwickDoc& doc) {
            RunMarkerFilter(engine, doc.m_review, *specific);
        });
    });

    frame.AddFeatureCommand(cmd::FindByNumber, Tr("Find by Special Token..."), [f] {
        CTarnwickDoc& doc = f->GetActiveDocument();
        CDlgMoleculeNumber dialog(static_cast<int>(doc.m_lstSpecialTokens.size()), f);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        WithEngine(*f, cmd::FindByNumber, [&](CReviewEngine& engine, CTarnwickDoc& d) {
            OnFindByNumber(engine, d.m_lstSpecialTokens, dialog.m_nFind);
        });
    });
    menu.push_back(cmd::FindByNumber);
    menu.push_back(0);

    frame.AddFeatureCommand(cmd::AnnotateOk, QString(), [f] {
        WithEngine(*f, cmd::AnnotateOk, [](CReviewEngine& e, CTarnwickDoc&) { e.OnAnnotateOk(); });
    });
    frame.AddFeatureCommand(cmd::SetAllOk, Tr("Set Simple Interactions OK"), [f] {
        WithEngine(*f, cmd::SetAllOk, [](CReviewEngine& e, CTarnwickDoc&) { e.OnSetAllOk(); });
    });
    frame.AddFeatureCommand(cmd::ShowNotOk, Tr("Show Interactions Not OK"), [f] {
        WithEngine(*f, cmd::ShowNotOk, [](CReviewEngine& e, CTarnwickDoc&) { e.OnShowNotOk(); });
    });
    frame.AddFeatureCommand(cmd::CountOk, Tr("Count OK"), [f] {
        WithEngine(*f, cmd::CountOk, [](CReviewEngine& e, CTarnwickDoc&) { OnCountOk(e); });
    });
    frame.AddFeatureCommand(cmd::Statistics, Tr("Statistics"), [f] {
        WithEngine(*f, cmd::Statistics, [](CReviewEngine& e, CTarnwickDoc& doc) { OnStatistics(e, doc.m_review); });
    });
    menu.insert(menu.end(), {cmd::SetAllOk, cmd::ShowNotOk, 0, cmd::CountOk, cmd::Statistics});

    QAction* keep = frame.AddFeatureCommand(kKeepVerdicts, Tr("Keep Verdicts in the Database"), [] {});
    keep->setObjectName(QStringLiteral("keepVerdicts"));
    keep->setCheckable(true);
    const bool remembered =
        QSettings(SettingsOrganization(), SettingsApplication()).value(QLatin1String(kKeepVerdictsKey), false).toBool();
    frame.GetActiveDocument().m_verdicts.SetOn(remembered);
    keep->setChecked(remembered);
    QObject::connect(keep, &QAction::toggled, keep, [f](bool on) {
        CVerdictKeeper& keeper = f->GetActiveDocument().m_verdicts;
        if (on == keeper.IsOn()) {
            return;
        }
        std::string error;
        if (on && !keeper.TurnOn(error)) {
            ReportKeepingOff(*f, error);
            return;
        }
        keeper.SetOn(on);
        RememberKeepVerdicts(on);
    });
    menu.insert(menu.end(), {0, kKeepVerdicts});
    frame.AddFeatureMenu(Tr("Review"), menu)->setObjectName(QStringLiteral("menuReview"));
}
