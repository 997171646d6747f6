#pragma once
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportExport.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class PageView;

// The print preview: one page at a time with first/previous/next/last,
// "Página n de N", zoom, fit width and fit page, printing and saving.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreviewDialog(const ComposedReport &report, QWidget *parent = nullptr);
    ~PreviewDialog() override;

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

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    enum class Fit { None, Width, Page };
    void refresh();
    QAction *action(const QString &objectName, const QString &text, const QKeySequence &key = {});

    const ComposedReport &m_report;
    int m_page = 0;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    bool m_placed = false;
    QScrollArea *m_scroll = nullptr;
    PageView *m_view = nullptr;
    QLabel *m_pageLabel = nullptr;
    QComboBox *m_zoomBox = nullptr;
    QAction *m_first = nullptr, *m_prior = nullptr, *m_next = nullptr, *m_last = nullptr;
};
