#pragma once
// One search of many files, in the background.
//
// Pages that are open are searched in their editor's text (taken when the search starts, unsaved
// edits included). Every other file is searched in its converted text: from the cache when it holds
// the file as it is now, else converted afresh. A conversion never touches the user's folder: the
// file is copied into a private temporary folder and converted there; the copy and the text are
// removed as soon as the text is read, and the folder when the search ends or is cancelled (copies
// are made as soon as the cache misses, ahead of the conversions, so the folder may hold as much
// as the files searched for a moment). At most `conversions` converters run at a time, driven from
// this object's thread without waiting; reading texts, searching them and the cache run on a pool
// of as many worker threads. Only a few texts are in memory at any time: each worker holds one.
//
// Results arrive file by file (fileSearched), in the order files finish.

#include "search/search_query.h"
#include "search/text_hits.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>

class ConverterJob;
class TextCache;
struct FileStamp;

struct FileResult {
    enum class Source { Page, Cache, Converter, None };
    QString path;
    QList<SearchHit> hits; // the first ones, when there are very many
    int hitCount = 0;      // all of them
    QString problem;       // why the file could not be searched (the converter's words); empty when it was
    Source source = Source::None;
};
Q_DECLARE_METATYPE(FileResult)

class FindInFiles : public QObject {
    Q_OBJECT
public:
    struct Request {
        SearchQuery query;
        QStringList files; // absolute paths
        QString converterPath;
        QHash<QString, QByteArray> pageTexts; // absolute path of an open page -> its text (code page 1252)
        std::shared_ptr<TextCache> cache;     // none: every file is converted
        int conversions = QThread::idealThreadCount();
        int timeLimitMs = 60000; // a conversion that runs longer is killed and the file reported
        int maxHitsPerFile = 10000;
        QString temporaryParent; // where the private folder goes; empty: the system's temporary folder
    };

    explicit FindInFiles(QObject *parent = nullptr);
    // Cancels a search that still runs.
    ~FindInFiles() override;

    // Starts the search; false (nothing started) when the query cannot be searched for: problem()
    // says why. One search per object.
    bool start(const Request &request);
    // Stops converters and workers, removes the temporary folder and ends with finished(true).
    void cancel();

    QString problem() const { return m_problem; }
    bool running() const { return m_started && !m_ended; }
    int done() const { return m_done; }
    int total() const { return int(m_request.files.size()); }
    // The private folder of the conversions, made when the search starts.
    QString temporaryFolder() const { return m_temporary ? m_temporary->path() : QString(); }

Q_SIGNALS:
    void fileSearched(const FileResult &result);
    void progress(int done, int total, const QString &current);
    void finished(bool cancelled);

private:
    struct Shared {
        std::atomic<bool> cancelled{false};
    };
    void lookUp(int index);
    void searchText(int index, QByteArray text, FileResult::Source source);
    void convert(int index, const FileStamp &stamp, const QString &copy);
    void convertNext();
    void converted(ConverterJob *job, int index, const FileStamp &stamp, const QString &copy);
    void deliver(const FileResult &result);
    void end(bool cancelled);
    QString temporaryParent() const;

    Request m_request;
    QString m_problem;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    QThreadPool m_pool;
    std::unique_ptr<QTemporaryDir> m_temporary;
    struct Waiting {
        int index;
        qint64 size;
        qint64 modifiedMs;
        QString copy;
    };
    QList<Waiting> m_toConvert;
    QList<ConverterJob *> m_jobs;
    int m_done = 0;
    bool m_started = false;
    bool m_ended = false;
};
