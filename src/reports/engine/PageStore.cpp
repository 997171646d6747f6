#include "reports/engine/PageStore.h"
#include "reports/engine/PageModel.h"

#include <QDir>
#include <QHash>
#include <QTemporaryFile>
#include <array>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::atomic<qint64> g_memoryLimit{32LL * 1024 * 1024};

// Fast zlib: pages compress to about a fifth, and the level costs little
// beside the composition itself.
constexpr int CompressionLevel = 1;

quint64 bits(double v) { return std::bit_cast<quint64>(v); }

// What an item has in common with its kin on other pages and other rows.
struct Shape {
    quint8 kind = 0;
    quint8 flags = 0; // FontBold, FontItalic, Clip, PageNumber, Shortened
    qint32 name = -1;
    quint64 pointSize = 0; // the doubles as bits: equal means identical
    quint32 align = 0;
    quint64 penWidth = 0;
    quint64 x = 0, w = 0, h = 0;
    qint32 picture = -1;
    qint32 chart = -1;

    enum : quint8 { FontBold = 1, FontItalic = 2, Clip = 4, PageNumber = 8, Shortened = 16 };

    bool operator==(const Shape &o) const
    {
        return kind == o.kind && flags == o.flags && name == o.name && pointSize == o.pointSize && align == o.align
            && penWidth == o.penWidth && x == o.x && w == o.w && h == o.h && picture == o.picture && chart == o.chart;
    }
};

size_t qHash(const Shape &s, size_t seed = 0)
{
    return qHashMulti(seed, s.kind, s.flags, s.name, s.pointSize, s.align, s.penWidth, s.x, s.w, s.h, s.picture, s.chart);
}

// Appends to a byte array grown by hand: a page writes thousands of small
// values, and the array's own append is a general insert each time.
class Writer {
public:
    explicit Writer(QByteArray &out) : m_out(out), m_len(out.size()) {}
    ~Writer() { m_out.resize(m_len); }
    char *room(qsizetype n)
    {
        if (m_len + n > m_out.size())
            m_out.resize(qMax(m_out.size() * 2, m_len + n + 256));
        char *at = m_out.data() + m_len;
        m_len += n;
        return at;
    }
    void raw(const void *p, qsizetype n) { std::memcpy(room(n), p, size_t(n)); }
    void varint(quint64 v)
    {
        char *dst = room(10);
        int n = 0;
        while (v >= 0x80) {
            dst[n++] = char(v | 0x80);
            v >>= 7;
        }
        dst[n++] = char(v);
        m_len -= 10 - n;
    }
    void zigzag(qint64 v) { varint((quint64(v) << 1) ^ quint64(v >> 63)); }
    void real(double v) { raw(&v, sizeof v); }
    // Text as Latin-1 when every character fits (most report text does),
    // else as UTF-16: either way it reads back exactly.
    void text(const QString &s)
    {
        const qsizetype n = s.size();
        const char16_t *src = reinterpret_cast<const char16_t *>(s.constData());
        bool latin1 = true;
        for (qsizetype i = 0; i < n; ++i)
            if (src[i] > 0xFF) {
                latin1 = false;
                break;
            }
        varint(quint64(n) << 1 | (latin1 ? 0 : 1));
        if (latin1) {
            char *dst = room(n);
            for (qsizetype i = 0; i < n; ++i)
                dst[i] = char(src[i]);
        } else {
            raw(src, n * qsizetype(sizeof(QChar)));
        }
    }

private:
    QByteArray &m_out;
    qsizetype m_len;
};

class Reader {
public:
    explicit Reader(const QByteArray &in) : m_p(in.constData()), m_end(in.constData() + in.size()) {}
    bool ok() const { return m_ok; }
    void raw(void *dst, qsizetype n)
    {
        if (!need(n)) {
            std::memset(dst, 0, size_t(n));
            return;
        }
        std::memcpy(dst, m_p, size_t(n));
        m_p += n;
    }
    quint64 varint()
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!need(1))
                return 0;
            const quint8 b = quint8(*m_p++);
            v |= quint64(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        m_ok = false;
        return 0;
    }
    qint64 zigzag()
    {
        const quint64 v = varint();
        return qint64(v >> 1) ^ -qint64(v & 1);
    }
    double real()
    {
        double v = 0;
        raw(&v, sizeof v);
        return v;
    }
    QString text()
    {
        const quint64 head = varint();
        const qsizetype n = qsizetype(head >> 1);
        if (head & 1) {
            if (!need(n * 2))
                return {};
            QString s(n, Qt::Uninitialized);
            std::memcpy(s.data(), m_p, size_t(n) * 2);
            m_p += n * 2;
            return s;
        }
        if (!need(n))
            return {};
        const QString s = QString::fromLatin1(m_p, n);
        m_p += n;
        return s;
    }

private:
    bool need(qsizetype n)
    {
        if (!m_ok || n < 0 || m_end - m_p < n) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const char *m_p;
    const char *m_end;
    bool m_ok = true;
};

// Compresses the finished pages on a thread of its own while the next ones
// are composed (packing is a sixth of a long report's time). Pages come back
// in the order given; at most kWaiting wait, so memory stays bounded.
class Packer {
public:
    static constexpr size_t kWaiting = 16;
    static constexpr size_t kWakeAt = 4;

    Packer() : m_thread([this] { work(); }) {}
    ~Packer()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    Packer(const Packer &) = delete;
    Packer &operator=(const Packer &) = delete;

    // Waits while too many pages wait. The thread is woken for a few pages
    // at a time: a wake-up per page cost as much as a tenth of the packing.
    void push(int page, QByteArray raw)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_todo.size() < kWaiting; });
        m_todo.emplace_back(page, std::move(raw));
        const bool wake = m_todo.size() >= kWakeAt;
        lock.unlock();
        if (wake)
            m_changed.notify_all();
    }
    // The next packed page, waiting for it when `wait` and one is still
    // being packed; false when none is (left).
    bool pop(int &page, QByteArray &packed, bool wait)
    {
        std::unique_lock lock(m_mutex);
        if (wait) {
            m_changed.notify_all(); // the last pages may be fewer than a wake-up's
            m_changed.wait(lock, [this] { return !m_done.empty() || (m_todo.empty() && !m_busy); });
        }
        if (m_done.empty())
            return false;
        page = m_done.front().first;
        packed = std::move(m_done.front().second);
        m_done.pop_front();
        return true;
    }

private:
    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stop || !m_todo.empty(); });
            if (m_stop)
                return;
            auto [page, raw] = std::move(m_todo.front());
            m_todo.pop_front();
            m_busy = true;
            lock.unlock();
            m_changed.notify_all();
            QByteArray packed = qCompress(raw, CompressionLevel);
            lock.lock();
            m_busy = false;
            m_done.emplace_back(page, std::move(packed));
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<int, QByteArray>> m_todo;
    std::deque<std::pair<int, QByteArray>> m_done;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace

struct PageStore::Data {
    struct Record {
        QByteArray bytes; // when in memory
        qint64 pos = -1;  // when in the temporary file
        qint32 length = 0;
        QByteArray raw;   // not packed yet: the page as written
        bool pending = false;
    };
    QList<Record> records;
    QList<Shape> shapes;
    QHash<Shape, int> shapeIndex;
    QStringList names;
    QHash<QString, int> nameIndex;
    QList<std::shared_ptr<const QImage>> pictures;
    QHash<const void *, int> pictureIndex;
    QList<std::shared_ptr<const ChartData>> charts;
    QHash<const void *, int> chartIndex;
    qint64 packed = 0;
    qint64 inMemory = 0;
    std::unique_ptr<QTemporaryFile> file;
    bool fileFailed = false;
    bool anyInFile = false;
    bool composing = false;
    std::unique_ptr<Packer> packer; // while pages are being packed
    int pending = 0;
    qint64 limit = -1; // in memory: the limit when the first page came

    // Decoded pages kept for the caller.
    int cachedPage = -1;
    ReportPage cached;
    QList<ReportPage> every;
    bool everyDecoded = false;

    // Item names repeat on every row, mostly as the very strings of the
    // report's items: remembered by where they live, checked by their text.
    struct RecentName {
        QString name;
        int index = -1;
    };
    std::array<RecentName, 64> recentNames;

    int nameOf(const QString &name)
    {
        RecentName &recent = recentNames[(quintptr(name.constData()) >> 3) & 63];
        if (recent.index >= 0 && recent.name == name)
            return recent.index;
        const int index = lookUpName(name);
        recent.name = name.capacity() > 0 ? name : QString(name.constData(), name.size());
        recent.index = index;
        return index;
    }

    int lookUpName(const QString &name)
    {
        auto it = nameIndex.constFind(name);
        if (it != nameIndex.constEnd())
            return it.value();
        names.append(name);
        return nameIndex.insert(name, int(names.size()) - 1).value();
    }

    template <typename T>
    static int indexOf(const std::shared_ptr<const T> &p, QList<std::shared_ptr<const T>> &list, QHash<const void *, int> &index)
    {
        if (!p)
            return -1;
        auto it = index.constFind(p.get());
        if (it != index.constEnd())
            return it.value();
        list.append(p);
        return index.insert(p.get(), int(list.size()) - 1).value();
    }

    int shapeOf(const PlacedItem &it, bool pageNumber)
    {
        Shape s;
        s.kind = quint8(it.kind);
        s.flags = (it.font.bold ? Shape::FontBold : 0) | (it.font.italic ? Shape::FontItalic : 0) | (it.clip ? Shape::Clip : 0)
            | (pageNumber ? Shape::PageNumber : 0) | (it.whole.isEmpty() ? 0 : Shape::Shortened);
        s.name = nameOf(it.name);
        s.pointSize = bits(it.font.pointSize);
        s.align = quint32(it.align.toInt());
        s.penWidth = bits(it.penWidth);
        s.x = bits(it.rect.x());
        s.w = bits(it.rect.width());
        s.h = bits(it.rect.height());
        s.picture = indexOf(it.picture, pictures, pictureIndex);
        s.chart = indexOf(it.chart, charts, chartIndex);
        auto found = shapeIndex.constFind(s);
        if (found != shapeIndex.constEnd())
            return found.value();
        shapes.append(s);
        return shapeIndex.insert(s, int(shapes.size()) - 1).value();
    }

    // Takes the pages packed so far (all of them when `all`): once the
    // records in memory pass the limit, the next ones go to disk; a file
    // that cannot be written keeps them in memory.
    void collect(bool all)
    {
        int page = -1;
        QByteArray bytes;
        while (pending > 0 && packer->pop(page, bytes, all)) {
            --pending;
            store(records[page], std::move(bytes));
        }
        if (all && pending == 0)
            packer.reset(); // the thread ends with the composition
    }

    void store(Record &r, QByteArray bytes)
    {
        r.pending = false;
        r.raw = QByteArray();
        r.length = qint32(bytes.size());
        packed += bytes.size();
        if (!fileFailed && inMemory + bytes.size() > limit) {
            if (!file) {
                file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/zapo-report-XXXXXX"));
                if (!file->open()) {
                    file.reset();
                    fileFailed = true;
                }
            }
            if (file) {
                const qint64 end = file->size();
                if (file->seek(end) && file->write(bytes) == bytes.size()) {
                    r.pos = end;
                    anyInFile = true;
                    return;
                }
                // Disk full: what is written stays readable, the rest stays here.
                fileFailed = true;
            }
        }
        inMemory += bytes.size();
        r.bytes = std::move(bytes);
    }

    QByteArray load(int page) const
    {
        const Record &r = records.at(page);
        if (r.pos < 0)
            return r.bytes;
        if (!file || !file->seek(r.pos))
            return {};
        return file->read(r.length);
    }

    ReportPage decode(int page) const
    {
        ReportPage out;
        const Record &r = records.at(page);
        const QByteArray raw = r.pending ? r.raw : qUncompress(load(page));
        Reader in(raw);
        const int ys = int(in.varint());
        QList<double> tops;
        for (int k = 0; k < ys && in.ok(); ++k)
            tops << in.real();
        const int n = int(in.varint());
        if (!in.ok())
            return out;
        out.items.reserve(n);
        const QString count = composing ? QStringLiteral("...") : QString::number(records.size());
        const QString self = QString::number(page + 1);
        int band = -1;
        for (int k = 0; k < n && in.ok(); ++k) {
            const int si = int(in.varint());
            const int yi = int(in.varint());
            band += int(in.zigzag());
            if (si < 0 || si >= shapes.size() || yi < 0 || yi >= tops.size())
                break;
            const Shape &s = shapes.at(si);
            PlacedItem it;
            it.kind = PlacedItem::Kind(s.kind);
            it.rect = QRectF(std::bit_cast<double>(s.x), tops.at(yi), std::bit_cast<double>(s.w), std::bit_cast<double>(s.h));
            it.name = names.value(s.name);
            it.font.pointSize = std::bit_cast<double>(s.pointSize);
            it.font.bold = s.flags & Shape::FontBold;
            it.font.italic = s.flags & Shape::FontItalic;
            it.clip = s.flags & Shape::Clip;
            it.align = Qt::Alignment::fromInt(int(s.align));
            it.penWidth = std::bit_cast<double>(s.penWidth);
            it.band = band;
            if (s.picture >= 0)
                it.picture = pictures.value(s.picture);
            if (s.chart >= 0)
                it.chart = charts.value(s.chart);
            if (it.kind == PlacedItem::Kind::Text) {
                it.text = in.text();
                if (s.flags & Shape::PageNumber)
                    it.text.replace(QStringLiteral("%2"), count).replace(QStringLiteral("%1"), self);
                if (s.flags & Shape::Shortened)
                    it.whole = in.text();
            }
            out.items.append(std::move(it));
        }
        return out;
    }
};

PageStore::PageStore() : d(std::make_shared<Data>()) {}
PageStore::~PageStore() = default;
PageStore::PageStore(const PageStore &) = default;
PageStore &PageStore::operator=(const PageStore &) = default;
PageStore::PageStore(PageStore &&o) noexcept : d(std::exchange(o.d, std::make_shared<Data>())) {}
PageStore &PageStore::operator=(PageStore &&o) noexcept
{
    std::swap(d, o.d);
    return *this;
}

int PageStore::size() const { return int(d->records.size()); }

ReportPage PageStore::at(int page) const
{
    if (page < 0 || page >= d->records.size())
        return {};
    if (d->everyDecoded)
        return d->every.at(page);
    if (d->cachedPage != page) {
        d->cached = d->decode(page);
        d->cachedPage = page;
    }
    return d->cached;
}

ReportPage PageStore::operator[](int page) const { return at(page); }

const QList<ReportPage> &PageStore::all() const
{
    if (!d->everyDecoded) {
        d->every.clear();
        d->every.reserve(d->records.size());
        for (int p = 0; p < d->records.size(); ++p)
            d->every.append(d->decode(p));
        d->everyDecoded = true;
    }
    return d->every;
}

void PageStore::append(const ReportPage &page, const QList<int> &pageNumberItems)
{
    Q_ASSERT(d.use_count() == 1);
    Data &s = *d;
    QByteArray raw;
    raw.reserve(page.items.size() * 24 + 64);
    {
        Writer out(raw);

        // The tops first: the items of one row share theirs (and mostly come
        // one after the other).
        QList<double> tops;
        QHash<quint64, int> topIndex;
        QList<int> itemTop;
        itemTop.reserve(page.items.size());
        quint64 lastKey = 0;
        int lastTop = -1;
        for (const PlacedItem &it : page.items) {
            const quint64 key = bits(it.rect.y());
            if (lastTop < 0 || key != lastKey) {
                auto found = topIndex.constFind(key);
                if (found == topIndex.constEnd()) {
                    found = topIndex.insert(key, int(tops.size()));
                    tops << it.rect.y();
                }
                lastKey = key;
                lastTop = found.value();
            }
            itemTop << lastTop;
        }
        out.varint(quint64(tops.size()));
        for (double y : tops)
            out.real(y);

        out.varint(quint64(page.items.size()));
        int band = -1;
        for (int k = 0; k < page.items.size(); ++k) {
            const PlacedItem &it = page.items.at(k);
            const bool pageNumber = it.kind == PlacedItem::Kind::Text && pageNumberItems.contains(k);
            out.varint(quint64(s.shapeOf(it, pageNumber)));
            out.varint(quint64(itemTop.at(k)));
            out.zigzag(qint64(it.band) - band);
            band = it.band;
            if (it.kind == PlacedItem::Kind::Text) {
                out.text(it.text);
                if (!it.whole.isEmpty())
                    out.text(it.whole);
            }
        }
    } // the writer sets the record's length
    if (s.limit < 0)
        s.limit = memoryLimit();
    Data::Record r;
    r.pending = true;
    r.raw = raw;
    s.records.append(std::move(r));
    if (!s.packer)
        s.packer = std::make_unique<Packer>();
    ++s.pending;
    s.packer->push(int(s.records.size()) - 1, std::move(raw));
    s.collect(false);
    s.everyDecoded = false;
    s.cachedPage = -1;
}

void PageStore::setComposing(bool composing)
{
    if (d->composing == composing)
        return;
    d->composing = composing;
    if (!composing && d->pending > 0)
        d->collect(true);
    // Decoded pages hold the totals as they read before.
    d->cachedPage = -1;
    d->everyDecoded = false;
    d->every.clear();
}

bool PageStore::composing() const { return d->composing; }

qint64 PageStore::packedBytes() const
{
    d->collect(true);
    return d->packed;
}

qint64 PageStore::bytesInMemory() const
{
    d->collect(true);
    return d->inMemory;
}

bool PageStore::spilled() const
{
    d->collect(true);
    return d->anyInFile;
}

qint64 PageStore::memoryLimit() { return g_memoryLimit.load(); }
void PageStore::setMemoryLimit(qint64 bytes) { g_memoryLimit.store(bytes); }
