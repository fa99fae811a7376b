#include "GuiTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QDir>
#include <QLineEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoPath.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "Representation.h"
#include "SceneNames.h"

#include "MainFrm.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"
#include "TestDatabase.h"

int WithModals(const std::function<void()>& open, const std::vector<ModalHandler>& handlers) {
    size_t next = 0;
    QPointer<QWidget> last;  // dialogs on the stack go away between ticks
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (last && !last->isVisible()) {
            last = nullptr;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last) {
            return;
        }
        last = modal;
        if (next < handlers.size()) {
            handlers[next++](modal);
        }
        // A handler that failed, or a dialog nobody expected, must not
        // leave the test waiting for a click.
        if (modal->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
    });
    poll.start();
    open();
    poll.stop();
    return static_cast<int>(next);
}

void AcceptFileDialog(QWidget* modal, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog) {
        return;
    }
    // Selecting an existing file goes through the folder model, which may
    // still be loading; typing the name as a user would does not.
    dialog->selectFile(path);
    QTest::qWait(20);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        edit->setText(path);
    }
    static_cast<QDialog*>(dialog)->accept();
}

SampleDatabase::SampleDatabase() {
    char path[] = "/tmp/tarnwick-gui-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        m_error = "cannot create a temporary file";
        return;
    }
    close(fd);
    m_file = path;
    const QDir sample(SampleDir());
    QStringList scripts{QStringLiteral("schema.sql")};
    for (const QString& name : sample.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        if (name != QLatin1String("schema.sql")) {
            scripts << name;
        }
    }
    for (const QString& script : scripts) {
        const std::string command =
            "sqlite3 '" + m_file + "' < '" + sample.filePath(script).toStdString() + "'";
        if (std::system(command.c_str()) != 0) {
            m_error = "sqlite3 failed on " + script.toStdString();
            return;
        }
    }
}

SampleDatabase::~SampleDatabase() {
    if (!m_file.empty()) {
        std::remove(m_file.c_str());
    }
}

QString SampleDir() { return QString::fromStdString(TestDatabase::SourceDir()) + QStringLiteral("/sample"); }

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixel(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

bool IsSphereGreen(QRgb pixel) {
    // Lit green material: green well above red and blue.
    return qGreen(pixel) > 60 && qRed(pixel) < qGreen(pixel) / 3 && qBlue(pixel) < qGreen(pixel) / 3;
}

QString ArtifactPath(const QString& name) { return QDir(QStringLiteral(TW_SHELL_TEST_OUTPUT_DIR)).absoluteFilePath(name); }

QImage GrabViewerArea() {
    SoQtExaminerViewer* viewer = SampleApp().GetMainWnd()->GetActiveView()->GetViewer();
    viewer->render();
    QApplication::processEvents();
    QTest::qWait(200);
    viewer->render();
    return GrabScreenArea();
}

QImage GrabScreenArea() {
    QApplication::processEvents();
    QWidget* area = SampleApp().GetMainWnd()->GetActiveView()->GetViewer()->getGLWidget();
    const QPoint origin = area->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), area->width(), area->height())
        .toImage();
}

void ClickViewer(const QPoint& at, const QPoint& releaseAt) {
    QWidget* area = SampleApp().GetMainWnd()->GetActiveView()->GetViewer()->getGLWidget();
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, at);
    if (releaseAt != at) {
        QMouseEvent move(QEvent::MouseMove, releaseAt, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &move);
    }
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, releaseAt);
    QApplication::processEvents();
}

bool FindClickableSphere(CRepresentation& rep, const std::function<bool(const std::string&)>& wanted,
                         Target& target) {
    SoQtExaminerViewer* viewer = SampleApp().GetMainWnd()->GetActiveView()->GetViewer();
    const SbViewportRegion& region = viewer->getViewportRegion();
    const SbVec2s size = region.getViewportSizePixels();
    const qreal ratio = viewer->getGLWidget()->devicePixelRatioF();
    const SbViewVolume volume = rep.GetCamera()->getViewVolume(region.getViewportAspectRatio());
    SoSearchAction search;
    search.setType(SoSphere::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(rep.GetNodeRoot());
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        SoNode* sphere = search.getPaths()[i]->getTail();
        const std::string name = GetSceneName(sphere);
        if (!wanted(name)) {
            continue;
        }
        const SbMatrix m = rep.GetNodeMatrix(name);
        SbVec3f screen;
        volume.projectToScreen(SbVec3f(m[3][0], m[3][1], m[3][2]), screen);
        const SbVec2s pixel(static_cast<short>(screen[0] * size[0]), static_cast<short>(screen[1] * size[1]));
        if (pixel[0] < 10 || pixel[1] < 10 || pixel[0] > size[0] - 10 || pixel[1] > size[1] - 10) {
            continue;
        }
        SoRayPickAction pick(region);
        pick.setPoint(pixel);
        pick.apply(rep.GetRoot());
        const SoPickedPoint* picked = pick.getPickedPoint();
        if (picked && picked->getPath()->getTail() == sphere) {
            target.name = name;
            target.at = QPoint(static_cast<int>(pixel[0] / ratio), static_cast<int>((size[1] - 1 - pixel[1]) / ratio));
            return true;
        }
    }
    return false;
}
