#pragma once

// Off-screen drawing of the 3D toolkit through Qt's OpenGL contexts and
// framebuffer objects: the toolkit's own off-screen contexts (GLX pixmaps)
// are refused by common virtual X servers. Needs a QGuiApplication; call
// once before the first off-screen picture.
void UseQtOffscreenContexts();
