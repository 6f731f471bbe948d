// The readers against other converters on the same documents: unrtf for
// RTF, antiword for Word, html2text and pandoc for HTML, pandoc for .docx,
// .odt and .epub, pdftotext for PDF, each run as its own process when it is installed (the
// program never needs them). Prints wall time and peak memory per document
// and tool; a tool that runs past 30 s is stopped and shown as such. The
// built 1 MB packages hold only the parts the program reads, which pandoc
// may refuse.
#include "bench/fuzz/fuzzinputs.h"
#include "tests/support/zippackage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
struct Run
{
    double fMs = 0;
    double fPeakMb = 0;
    bool bOk = false;
    bool bTimedOut = false;
};

// Runs the body in a child process with a 30-second alarm; time and peak
// memory come from the child's own accounting, so every contender is
// measured alike.
template <typename Body> Run RunInChild(Body body)
{
    Run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
    {
        alarm(30);
        body();
        _exit(0);
    }
    int nStatus = 0;
    rusage usage{};
    wait4(pid, &nStatus, 0, &usage);
    run.fMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.fPeakMb = double(usage.ru_maxrss) / 1024.0;
    run.bTimedOut = WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGALRM;
    run.bOk = WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
    return run;
}

// Runs the command with its output thrown away.
Run RunTool(const std::vector<std::string>& args)
{
    return RunInChild(
        [&args]()
        {
            const int nNull = open("/dev/null", O_WRONLY);
            dup2(nNull, 1);
            dup2(nNull, 2);
            std::vector<char*> argv;
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        });
}

// Our reader in a child process too, so peaks compare alike.
Run RunOwn(FuzzReader reader, const QByteArray& data)
{
    return RunInChild([reader, &data]() { RunFuzzReader(reader, data); });
}

void Print(const char* pszDoc, const char* pszTool, const Run& run)
{
    if (run.bTimedOut)
        std::printf("%-26s %-10s %10s %10s\n", pszDoc, pszTool, "> 30 s", "-");
    else
        std::printf("%-26s %-10s %10.1f %10.1f%s\n", pszDoc, pszTool, run.fMs, run.fPeakMb,
                    run.bOk ? "" : "  (failed)");
}

QByteArray Repeat(const QByteArray& head, const QByteArray& unit, int nBytes,
                  const QByteArray& tail = {})
{
    QByteArray out = head;
    while (out.size() + unit.size() + tail.size() <= nBytes)
        out.append(unit);
    return out + tail;
}

QByteArray Sample(const char* pszName)
{
    QFile file(QStringLiteral(KB_TEST_DATA_DIR "text/") + QLatin1String(pszName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

int main()
{
    QTemporaryDir dir;
    struct Doc
    {
        const char* pszName;
        const char* pszFile;
        FuzzReader reader;
        QByteArray data;
    };
    const int nMb = 1 << 20;
    const std::vector<Doc> docs = {
        {"rtf sample", "a.rtf", FuzzReader::Rtf, Sample("lo-sample.rtf")},
        {"rtf 1 MB text", "b.rtf", FuzzReader::Rtf,
         Repeat("{\\rtf1\\ansi ", "Some words of text in a line\\par\n", nMb, "}")},
        {"rtf 1 MB groups", "c.rtf", FuzzReader::Rtf, Repeat("{\\rtf1 ", "{", nMb)},
        {"doc sample", "a.doc", FuzzReader::Word, Sample("lo-sample.doc")},
        {"html sample", "a.html", FuzzReader::Html, Sample("lo-sample.html")},
        {"html 1 MB page", "b.html", FuzzReader::Html,
         Repeat("<html><body>", "<p>Some words of text in a paragraph.</p>\n", nMb)},
        {"html 40000 divs", "c.html", FuzzReader::Html, QByteArray("<div>").repeated(40000)},
        {"html 1 MB &amp;", "d.html", FuzzReader::Html, Repeat("<p>", "&amp;", nMb)},
        {"docx sample", "a.docx", FuzzReader::Docx, Sample("pandoc-sample.docx")},
        {"docx 1 MB body", "b.docx", FuzzReader::Docx,
         KbTest::Docx(Repeat("", "<w:p><w:r><w:t>Some words of text</w:t></w:r></w:p>", nMb),
                      false)},
        {"odt sample", "a.odt", FuzzReader::Odt, Sample("pandoc-sample.odt")},
        {"odt 1 MB body", "b.odt", FuzzReader::Odt,
         KbTest::Odt(Repeat("", "<text:p>Some words of text</text:p>", nMb), false)},
        {"epub sample", "a.epub", FuzzReader::Epub, Sample("pandoc-sample.epub")},
        {"epub 1 MB chapter", "b.epub", FuzzReader::Epub,
         KbTest::Epub("<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>",
                      "<itemref idref=\"a\"/>",
                      {{"OPS/a.xhtml", KbTest::Page(Repeat("", "<p>Some words of text.</p>", nMb)),
                        false}})},
        {"pdf sample", "a.pdf", FuzzReader::Pdf, Sample("lo-sample.pdf")},
    };
    struct Tool
    {
        const char* pszName;
        FuzzReader reader;
        std::vector<std::string> args;
    };
    const std::vector<Tool> tools = {
        {"unrtf", FuzzReader::Rtf, {"unrtf", "--text"}},
        {"antiword", FuzzReader::Word, {"antiword"}},
        {"html2text", FuzzReader::Html, {"html2text"}},
        {"pandoc", FuzzReader::Html, {"pandoc", "-f", "html", "-t", "plain"}},
        {"pandoc", FuzzReader::Rtf, {"pandoc", "-f", "rtf", "-t", "plain"}},
        {"pandoc", FuzzReader::Docx, {"pandoc", "-f", "docx", "-t", "plain"}},
        {"pandoc", FuzzReader::Odt, {"pandoc", "-f", "odt", "-t", "plain"}},
        {"pandoc", FuzzReader::Epub, {"pandoc", "-f", "epub", "-t", "plain"}},
        {"pdftotext", FuzzReader::Pdf, {"pdftotext", "-enc", "UTF-8"}},
    };
    std::printf("%-26s %-10s %10s %10s\n", "document", "reader", "ms", "peak MB");
    for (const Doc& doc : docs)
    {
        const QString strPath = dir.filePath(QLatin1String(doc.pszFile));
        QFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(doc.data) != doc.data.size())
            return 1;
        file.close();
        Print(doc.pszName, "own", RunOwn(doc.reader, doc.data));
        for (const Tool& tool : tools)
        {
            if (tool.reader != doc.reader)
                continue;
            if (QStandardPaths::findExecutable(QLatin1String(tool.args.front().c_str())).isEmpty())
            {
                std::printf("%-26s %-10s %10s\n", doc.pszName, tool.pszName, "not installed");
                continue;
            }
            std::vector<std::string> args = tool.args;
            args.push_back(strPath.toStdString());
            Print(doc.pszName, tool.pszName, RunTool(args));
        }
    }
    return 0;
}
