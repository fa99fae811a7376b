// Pieces of the shell that need no window: the conversion of resource
// file filters and the recent-file list in the settings.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "FileFilter.h"
#include "RecentFileList.h"

TEST(FileFilter, ResourceFiltersBecomeQtNameFilters) {
    const struct {
        const char* resource;
        const char* qt;
    } rows[] = {
        {"dot file (*.dot) | *.dot ||", "dot file (*.dot)"},
        {"bb file (*.bb) | *.bb;*.BB ||", "bb file (*.bb *.BB)"},
        {"Text | *.txt | All files | * ||", "Text (*.txt);;All files (*)"},
        {"Pathway files|*.bb|", "Pathway files (*.bb)"},
        {"No pattern |  ||", "No pattern (*)"},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ConvertResourceFilter(QString::fromUtf8(row.resource)).toStdString(), row.qt) << row.resource;
    }
}

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndAtMostFour) {
    CRecentFileList list;
    for (const char* path : {"/a.bb", "/b.bb", "/c.bb", "/d.bb", "/b.bb", "/e.bb", "/x/../f.bb"}) {
        list.Add(path);
    }
    EXPECT_EQ(list.Entries(), QStringList({"/f.bb", "/e.bb", "/b.bb", "/d.bb"}));
    list.Remove("/e.bb");
    EXPECT_EQ(list.Entries(), QStringList({"/f.bb", "/b.bb", "/d.bb"}));
    list.Add("");
    EXPECT_EQ(list.Entries().size(), 3);
}

TEST(RecentFileList, SettingsRoundTripDropsStaleEntries) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath("tarnwick.ini"), QSettings::IniFormat);
    CRecentFileList full;
    for (const char* path : {"/1.bb", "/2.bb", "/3.bb", "/4.bb"}) {
        full.Add(path);
    }
    full.WriteList(settings);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/4.bb");
    EXPECT_EQ(settings.value("Recent File List/File4").toString(), "/1.bb");

    CRecentFileList shorter;
    shorter.Add("/only.bb");
    shorter.WriteList(settings);
    CRecentFileList read;
    read.ReadList(settings);
    EXPECT_EQ(read.Entries(), QStringList({"/only.bb"}));
    EXPECT_FALSE(settings.contains("Recent File List/File2"));
}
