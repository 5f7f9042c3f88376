#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The file operations the speed test times: appending to a file and reading it whole, then
// deleting it. Each answers nullopt, or what failed and the system's reason.
class SpeedTestFiles {
public:
    struct Failure {
        QString operation; // "open for appending", "write", "open for reading", "read", "delete"
        QString reason;
    };

    virtual ~SpeedTestFiles() = default;
    // Creates the file when it is missing. Never opens anything but a regular file, and never
    // through a link: a FIFO there would hang the test, a link would append to its target.
    virtual std::optional<Failure> append(const QString& path, const QByteArray& bytes) = 0;
    virtual std::optional<Failure> readWhole(const QString& path) = 0;
    virtual std::optional<Failure> remove(const QString& path) = 0;

    static SpeedTestFiles& real();
};

// How fast a data folder answers: 100 passes of appending a line to a test file and reading
// the whole file, timed on a monotonic clock, then the file is deleted. A network share that
// needs more than four seconds for that makes every view build noticeably slow.
class FolderSpeedTest {
public:
    static constexpr int kPasses = 100;
    static constexpr double kThresholdSeconds = 4.0;
    static constexpr const char* kFileName = "NorvanePerformanceTest.txt";

    enum class Verdict { Fast, Slow, Error };
    struct Result {
        Verdict verdict = Verdict::Error;
        double seconds = 0; // the passes' time; set unless a pass failed
        QString error;      // the failing operation, the file and the system's reason
    };

    // Monotonic nanoseconds from any fixed point.
    using Clock = std::function<qint64()>;
    // Before each pass, 1 … kPasses: the window draws its bar and lets events through.
    using Progress = std::function<void(int pass)>;

    explicit FolderSpeedTest(SpeedTestFiles& files = SpeedTestFiles::real(), Clock clock = {});

    Result run(const QString& folder, const Progress& progress = {});

    // The line pass n appends.
    static QByteArray passText(int pass);

private:
    qint64 now() const;

    SpeedTestFiles& m_files;
    Clock m_clock;
};
