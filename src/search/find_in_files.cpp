#include "search/find_in_files.h"

#include "converter/converter_job.h"
#include "converter/converter_output.h"
#include "search/text_cache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Problem(const ConverterRun &run, bool timedOut, int limitMs) {
    QString text;
    if (timedOut)
        text = QStringLiteral("The converter did not end within %1 seconds and was stopped.")
                   .arg(limitMs / 1000);
    else if (run.succeeded())
        text = QStringLiteral("The converter wrote no text.");
    else
        text = run.endText();
    const QStringList last = LastLines(run.outputLines(), 5);
    if (!last.isEmpty())
        text += QLatin1Char(' ') + last.join(QStringLiteral(" / "));
    return text;
}

} // namespace

FindInFiles::FindInFiles(QObject *parent) : QObject(parent) {
    qRegisterMetaType<FileResult>();
}

FindInFiles::~FindInFiles() {
    if (running())
        cancel();
    m_shared->cancelled = true;
    m_pool.waitForDone();
}

bool FindInFiles::start(const Request &request) {
    if (m_started)
        return false;
    m_request = request;
    m_problem = LineMatcher(request.query).problem();
    if (!m_problem.isEmpty())
        return false;
    m_started = true;
    m_pool.setMaxThreadCount(qMax(1, request.conversions));
    m_temporary =
        std::make_unique<QTemporaryDir>(temporaryParent() + QStringLiteral("/kestrelbench-search-XXXXXX"));
    if (m_request.files.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { end(false); }, Qt::QueuedConnection);
        return true;
    }
    for (int i = 0; i < m_request.files.size(); ++i)
        lookUp(i);
    return true;
}

// Queues the work of one file: its page's text, else (on a worker) the cache's, else a copy for the
// converter.
void FindInFiles::lookUp(int index) {
    const QString path = m_request.files.at(index);
    const auto page = m_request.pageTexts.constFind(path);
    if (page != m_request.pageTexts.constEnd()) {
        const QByteArray text = page.value();
        m_pool.start([this, index, text] { searchText(index, text, FileResult::Source::Page); });
        return;
    }
    const std::shared_ptr<Shared> shared = m_shared;
    const std::shared_ptr<TextCache> cache = m_request.cache;
    m_pool.start([this, shared, cache, index, path] {
        if (shared->cancelled)
            return;
        const FileStamp stamp = FileStamp::of(path);
        if (!stamp.exists()) {
            FileResult result;
            result.path = path;
            result.problem = QStringLiteral("The file cannot be read.");
            QMetaObject::invokeMethod(
                this, [this, result] { deliver(result); }, Qt::QueuedConnection);
            return;
        }
        if (cache) {
            if (std::optional<QByteArray> text = cache->find(stamp)) {
                searchText(index, *text, FileResult::Source::Cache);
                return;
            }
        }
        // The copy to convert is made here, off the window's thread: creating files can take long.
        const QString temporary = m_temporary->isValid() ? m_temporary->path() : QString();
        const QString folder = temporary + QLatin1Char('/') + QString::number(index);
        // The file's own name in a folder of its own: the converter may write the name into the text.
        const QString copy = folder + QLatin1Char('/') + QFileInfo(path).fileName();
        if (temporary.isEmpty() || !QDir().mkpath(folder) || !QFile::copy(path, copy)) {
            QDir(folder).removeRecursively();
            FileResult result;
            result.path = path;
            result.problem = !temporary.isEmpty() ? QStringLiteral("The file cannot be read.")
                                                  : QStringLiteral("No temporary folder can be made in %1.")
                                                        .arg(QDir::toNativeSeparators(temporaryParent()));
            QMetaObject::invokeMethod(
                this, [this, result] { deliver(result); }, Qt::QueuedConnection);
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, index, stamp, copy] { convert(index, stamp, copy); }, Qt::QueuedConnection);
    });
}

// On a worker.
void FindInFiles::searchText(int index, QByteArray text, FileResult::Source source) {
    if (m_shared->cancelled)
        return;
    FileResult result;
    result.path = m_request.files.at(index);
    result.source = source;
    // Each search has its own matcher: a regular expression is compiled where it is used.
    const LineMatcher matcher(m_request.query);
    TextHits hits = SearchConvertedText(text, matcher, m_request.maxHitsPerFile);
    text.clear();
    result.hits = std::move(hits.hits);
    result.hitCount = hits.count;
    QMetaObject::invokeMethod(
        this, [this, result] { deliver(result); }, Qt::QueuedConnection);
}

void FindInFiles::convert(int index, const FileStamp &stamp, const QString &copy) {
    if (m_ended)
        return;
    m_toConvert.append(Waiting{index, stamp.size, stamp.modifiedMs, copy});
    convertNext();
}

void FindInFiles::convertNext() {
    while (!m_ended && m_jobs.size() < qMax(1, m_request.conversions) && !m_toConvert.isEmpty()) {
        const Waiting waiting = m_toConvert.takeFirst();
        const QString path = m_request.files.at(waiting.index);
        FileStamp stamp;
        stamp.path = path;
        stamp.size = waiting.size;
        stamp.modifiedMs = waiting.modifiedMs;
        const QString copy = waiting.copy;
        auto *job = new ConverterJob(m_request.converterPath, copy, m_request.timeLimitMs, this);
        m_jobs.append(job);
        connect(job, &ConverterJob::finished, this,
                [this, job, index = waiting.index, stamp, copy] { converted(job, index, stamp, copy); });
        job->start();
        Q_EMIT progress(m_done, total(), path);
    }
}

void FindInFiles::converted(ConverterJob *job, int index, const FileStamp &stamp, const QString &copy) {
    m_jobs.removeOne(job);
    job->deleteLater();
    const QString textPath = QFileInfo(copy).path() + QLatin1Char('/') + QFileInfo(copy).completeBaseName() +
                             QStringLiteral(".txt");
    const ConverterRun run = job->run();
    if (!run.succeeded() || QFileInfo(textPath).size() <= 0) {
        QDir(QFileInfo(copy).path()).removeRecursively();
        FileResult result;
        result.path = m_request.files.at(index);
        result.source = FileResult::Source::Converter;
        result.problem = Problem(run, job->timedOut(), m_request.timeLimitMs);
        deliver(result);
        convertNext();
        return;
    }
    const std::shared_ptr<Shared> shared = m_shared;
    const std::shared_ptr<TextCache> cache = m_request.cache;
    m_pool.start([this, shared, cache, index, stamp, copy, textPath] {
        QFile file(textPath);
        QByteArray text;
        const bool read = file.open(QIODevice::ReadOnly);
        if (read)
            text = file.readAll();
        file.close();
        QDir(QFileInfo(copy).path()).removeRecursively();
        if (shared->cancelled)
            return;
        if (!read) {
            FileResult result;
            result.path = stamp.path;
            result.source = FileResult::Source::Converter;
            result.problem = QStringLiteral("The converted text cannot be read.");
            QMetaObject::invokeMethod(
                this, [this, result] { deliver(result); }, Qt::QueuedConnection);
            return;
        }
        if (cache)
            cache->store(stamp, text);
        searchText(index, std::move(text), FileResult::Source::Converter);
    });
    convertNext();
}

void FindInFiles::deliver(const FileResult &result) {
    if (m_ended)
        return;
    ++m_done;
    Q_EMIT fileSearched(result);
    Q_EMIT progress(m_done, total(), result.path);
    if (m_done >= total())
        end(false);
}

QString FindInFiles::temporaryParent() const {
    return m_request.temporaryParent.isEmpty() ? QDir::tempPath() : m_request.temporaryParent;
}

void FindInFiles::cancel() {
    if (!running())
        return;
    m_shared->cancelled = true;
    end(true);
}

void FindInFiles::end(bool cancelled) {
    if (m_ended)
        return;
    m_ended = true;
    m_toConvert.clear();
    // Deleting a job kills its converter and waits for it, so nothing writes into the folder after.
    qDeleteAll(m_jobs);
    m_jobs.clear();
    m_pool.clear();
    m_pool.waitForDone();
    m_temporary.reset();
    Q_EMIT finished(cancelled);
}
