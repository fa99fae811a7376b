#include "PictureCommands.h"

#include <QMenu>

#include "ExportImageCommands.h"
#include "LabelDeclutterCommands.h"
#include "LegendDock.h"
#include "MainFrm.h"

void RegisterPictureCommands(CMainFrame& frame) {
    frame.GetPathwayMenu()->addSeparator();
    RegisterLegendCommand(frame);
    RegisterExportImageCommand(frame);
    RegisterLabelDeclutterCommand(frame);
}
