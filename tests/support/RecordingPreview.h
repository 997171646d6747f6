#pragma once
#include "reports/engine/Reports.h"

#include <QList>

// Keeps a copy of every report that would have been previewed, instead of
// opening the preview window. Installs itself while alive.
class RecordingPreview : public ReportPreview {
public:
    RecordingPreview() { Reports::setPreview(this); }
    ~RecordingPreview() override { Reports::setPreview(nullptr); }

    QList<ComposedReport> shown;

    void show(const ComposedReport &report, QWidget *) override { shown.append(report); }
    const ComposedReport &last() const { return shown.last(); }
    bool isEmpty() const { return shown.isEmpty(); }
};
