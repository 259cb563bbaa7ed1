#pragma once
// While one lives, the engine's advice about OpenGL set-up stays off the
// terminal: the pane draws in software on purpose, so that the window is up
// without OpenGL, and the advice to share OpenGL contexts from the start or
// to find a graphics backend does not apply. Everything else passes.

#include <QtGlobal>

class QuietEngineAdvice
{
public:
    QuietEngineAdvice();
    ~QuietEngineAdvice();
    QuietEngineAdvice(const QuietEngineAdvice &) = delete;
    QuietEngineAdvice &operator=(const QuietEngineAdvice &) = delete;

private:
    QtMessageHandler outer_;
};
