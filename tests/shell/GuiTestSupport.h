#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QString>

class CRepresentation;
class CTarnwickApp;
class QWidget;

using ModalHandler = std::function<void(QWidget*)>;

// Runs `open`, which shows modal dialogs, and hands each modal widget that
// appears to the next handler in turn; a handler must close its widget.
// A dialog shown again after it closed counts as a new one. Returns how
// many handlers ran.
int WithModals(const std::function<void()>& open, const std::vector<ModalHandler>& handlers);
inline bool WithNextModal(const std::function<void()>& open, const ModalHandler& handle) {
    return WithModals(open, {handle}) == 1;
}

// Types `path` into an open file dialog and accepts it, once the dialog's
// folder has finished loading (which would otherwise reset the name).
void AcceptFileDialog(QWidget* dialog, const QString& path);

// A copy of the sample data for one test run: a SQLite file made from
// sample/schema.sql and the other sample/*.sql files.
class SampleDatabase {
public:
    SampleDatabase();
    ~SampleDatabase();
    std::string Connect() const { return "Driver=SQLite3;Database=" + m_file; }
    const std::string& Error() const { return m_error; }

private:
    std::string m_file;
    std::string m_error;
};

// The sample's source folder (yeast.graph.txt lives there).
QString SampleDir();

// Counts pixels of an image that satisfy `test`.
int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test);
bool IsSphereGreen(QRgb pixel);

// What the screen shows of the sample program's drawing area, after a redraw.
QImage GrabViewerArea();
// What it shows now.
QImage GrabScreenArea();
// A press and release of the left button on the drawing area (widget
// coordinates); a release elsewhere drags.
void ClickViewer(const QPoint& at, const QPoint& releaseAt);

// A sphere the viewer shows unhidden under the pointer, and where on the
// drawing area to click it (widget coordinates).
struct Target {
    std::string name;
    QPoint at;
};
// The first sphere of `rep` on screen whose name `wanted` accepts and that
// a click there hits (nothing nearer covers it).
bool FindClickableSphere(CRepresentation& rep, const std::function<bool(const std::string&)>& wanted,
                         Target& target);

// Where tests leave images for a person to look at (the build folder).
QString ArtifactPath(const QString& name);

// The program on the sample, shared by the tests of one run: the window is
// open, the start-up load has run in a working folder holding a copy of
// yeast.graph.txt.
CTarnwickApp& SampleApp();
QString SampleWorkDir();
