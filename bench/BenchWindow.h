#pragma once

// The Qt application of a bench that opens the window, its settings kept
// in a folder of their own, not the user's.

#include <clocale>
#include <cstdlib>

#include <QApplication>
#include <QTemporaryDir>

class BenchWindowApplication {
public:
    explicit BenchWindowApplication(char** argv) : m_application(UseOwnSettings(m_settings, m_argc), argv) {
        // Figures print with a decimal point whatever the locale.
        std::setlocale(LC_NUMERIC, "C");
    }

private:
    static int& UseOwnSettings(const QTemporaryDir& settings, int& argc) {
        setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
        return argc;
    }

    QTemporaryDir m_settings;
    int m_argc = 1;
    QApplication m_application;
};
