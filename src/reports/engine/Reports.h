#pragma once
#include "reports/engine/Composer.h"
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportDefinition.h"

class QWidget;

// Shows a composed report. The real one is the preview window (modal: the
// caller waits until the user closes it); tests install a recording one.
class ReportPreview {
public:
    virtual ~ReportPreview() = default;
    virtual void show(const ComposedReport &report, QWidget *parent) = 0;
    // Shows a report whose first page is composed and whose rest is still
    // to come. The window shows the pages as they come; this default
    // composes the rest first, with the progress window, and then calls
    // show() (nothing is shown when the clerk cancels). False when nothing
    // was shown. Throws DbError.
    virtual bool showComposing(Reports::Composition &composition, QWidget *parent);
};

namespace Reports {

ReportPreview &preview();
// Installs another preview (tests); nullptr restores the window.
void setPreview(ReportPreview *p);
ReportPreview &dialogPreview();

// Composes the report's first page, showing a cancellable progress window
// while the query runs and the rows are read, then shows it through
// preview(), which composes the rest, and returns when the preview is
// closed. A database failure is shown with its text and nothing is
// previewed. False when nothing was previewed (failure, cancel, or an empty
// report that is not printed when empty).
bool open(const ReportDefinition &def, QWidget *parent = nullptr);

// Like open(), but a database failure is left to the caller (thrown).
bool openOrThrow(const ReportDefinition &def, QWidget *parent = nullptr);

// The product's full title printed at the top of the reports (the main
// window's caption); the application sets it at start-up.
QString productTitle();
void setProductTitle(const QString &title);

} // namespace Reports
