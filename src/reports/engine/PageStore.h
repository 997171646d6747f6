#pragma once
#include <QList>
#include <QtGlobal>
#include <memory>

struct ReportPage;

// The finished pages of a composed report, packed. A long report runs to
// tens of thousands of pages, far more than a workstation can hold as
// placed items, so each finished page is written as a compact record: what
// its items share (kind, name, font, alignment, x, width, height, picture,
// chart) is kept once for the whole report and referred to by number, the
// tops once per page, and the texts as they are; the record is compressed.
// Records stay in memory until they pass a few tens of megabytes; the rest
// go to a temporary file, removed with the last copy of the report.
//
// A page is decoded when asked for, so the preview, the printer and the
// exports hold one page at a time. Copies share the records: a report handed
// on (to the preview, to a test) costs nothing. Pages are appended only
// while composing, before the report is copied (a preview that shows the
// pages as they come reads the composing report itself, not a copy).
class PageStore {
public:
    PageStore();
    ~PageStore();
    PageStore(const PageStore &);
    PageStore &operator=(const PageStore &);
    PageStore(PageStore &&) noexcept;
    PageStore &operator=(PageStore &&) noexcept;

    int size() const;
    bool isEmpty() const { return size() == 0; }
    // The page decoded; its page numbers filled with the page's own number
    // and the page count.
    ReportPage at(int page) const;
    ReportPage operator[](int page) const;

    // Every page decoded and kept alive as long as the report: the pointers
    // the report's look-ups return point into it. For tests and short
    // reports; long ones go page by page through at().
    const QList<ReportPage> &all() const;

    // Packs a finished page. Text items listed in `pageNumberItems` hold
    // "%1" (this page) and "%2" (page count), filled in when decoded, since
    // the count is known only once the last page is done.
    void append(const ReportPage &page, const QList<int> &pageNumberItems = {});

    // While the report is being composed the page count is not known yet:
    // "%2" reads "..." until composing ends.
    void setComposing(bool composing);
    bool composing() const;

    qint64 packedBytes() const;   // records, in memory or on disk
    qint64 bytesInMemory() const; // records kept in memory
    bool spilled() const;         // some records went to the temporary file

    // Records kept in memory before the rest go to disk (tests lower it).
    static qint64 memoryLimit();
    static void setMemoryLimit(qint64 bytes);

private:
    struct Data;
    std::shared_ptr<Data> d;
};
