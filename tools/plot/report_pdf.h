#pragma once
// The reports of marovane-plot grade --pdf, laid out by the simulator's own report and its
// pictures drawn by the moment renderer, without a window, so that the instructor's copy and
// the one the student saw are one and the same.

#include "tools/plot/grade_command.h"

#include <memory>

class QApplication;

namespace mv {

// Writes reports through the program's report. A QApplication is made in `app` the first time
// one is needed (none is when --pdf is not given), offscreen when there is no display, so the
// reports are written on a build server as well as on a desk.
ReportPdfWriter ReportPdfWriterWith(std::unique_ptr<QApplication>& app);

} // namespace mv
