#pragma once
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportExport.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;
class PageView;
namespace Reports {
class Composition;
}

// The print preview: one page at a time with first/previous/next/last,
// "Página n de N", zoom, fit width and fit page, printing and saving.
//
// Given a composition under way it opens on the pages composed so far and
// lays out the rest a slice at a time between the clerk's own events
// ("Página 1 de 1.234..." while it grows). A page not yet composed is waited
// for with the progress shown; "Cancelar" stops the composition and keeps
// what is composed. Printing and saving need the whole report: they are
// enabled when the composition ends.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreviewDialog(const ComposedReport &report, QWidget *parent = nullptr);
    PreviewDialog(Reports::Composition &composition, QWidget *parent = nullptr);
    ~PreviewDialog() override;

    bool composing() const;
    // "Cancelar": the pages composed so far stay in sight.
    void cancelComposition();
    // Milliseconds of composition between two looks at the clerk's events.
    static constexpr int SliceMs = 40;

    int currentPage() const { return m_page; } // 0-based
    void setPage(int page);
    double zoom() const { return m_zoom; }     // 1.0 = real size
    void setZoom(double zoom);
    void fitWidth();
    void fitPage();
    QString pageText() const;

    // Saves in the format of the name's extension (.txt, .html, .csv, .pdf).
    // Shows progress on a long report; *cancelled tells a cancel from a failure.
    bool saveTo(const QString &path, QString *error = nullptr, bool *cancelled = nullptr);
    // Prints on a printer already set up (used by the print dialog path).
    bool printOn(QPrinter &printer);

    static ReportExport::Format formatFor(const QString &path);

public slots:
    void print(); // printer choice, copies and page range
    void save();  // asks for a file name

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    enum class Fit { None, Width, Page };
    void build();
    void refresh();
    void composeSlice();
    void compositionEnded();
    void showCompositionState();
    QAction *action(const QString &objectName, const QString &text, const QKeySequence &key = {});

    const ComposedReport &m_report;
    Reports::Composition *m_composition = nullptr; // while composing
    QTimer *m_composeTimer = nullptr;
    QWidget *m_composeBar = nullptr;
    QLabel *m_composeLabel = nullptr;
    QProgressBar *m_composeProgress = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_toLast = false; // "Última" asked for before the end was known
    bool m_interrupted = false;
    int m_page = 0;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    bool m_placed = false;
    QScrollArea *m_scroll = nullptr;
    PageView *m_view = nullptr;
    QLabel *m_pageLabel = nullptr;
    QComboBox *m_zoomBox = nullptr;
    QAction *m_first = nullptr, *m_prior = nullptr, *m_next = nullptr, *m_last = nullptr;
    QAction *m_print = nullptr, *m_save = nullptr;
};
