#pragma once

#include <iosfwd>
#include <string>

class CMainFrame;
class CTarnwickView;
class IUserPrompt;
struct CommandLine;

// Export Image...: the view on screen as a PNG picture. Asks for size
// (`defaultWidth` x `defaultHeight` to start with), background and labels,
// then for the file. False when the curator cancels or nothing could be
// written (the reason is shown); `confirmation` says what was written.
bool OnExportImage(CTarnwickView& view, IUserPrompt& prompt, int defaultWidth, int defaultHeight,
                   std::string& confirmation);

// --export-image without a window: the start-up box view (or the sphere
// view) drawn off screen. Needs an X display to draw through; without one
// it says so. Returns the process exit code.
int RunExportImage(const CommandLine& options, std::ostream& out, std::ostream& err);
int RunExportImage(const CommandLine& options);

void RegisterExportImageCommand(CMainFrame& frame);
