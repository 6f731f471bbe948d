// The readers against other converters on the same documents: unrtf for
// RTF, antiword and catdoc for Word, lynx, html2text and pandoc for HTML,
// pandoc for .docx, .odt and .epub, pdftotext for PDF, each run as its own
// process (the program never needs them). Prints wall time and peak memory
// per document and tool, and each tool's time over ours with the ratio we
// aim for; a tool that runs past its limit is stopped and shown as such.
// The built 1 MB packages hold only the parts the program reads, which
// pandoc may refuse; the 10 MB ones are made by pandoc and LibreOffice at
// start so every tool accepts them.
#include "bench/fuzz/fuzzinputs.h"
#include "tests/support/zippackage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
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

// Runs the body in a child process with an alarm; time and peak memory
// come from the child's own accounting, so every contender is measured
// alike.
template <typename Body> Run RunInChild(Body body, unsigned nSeconds = 30)
{
    Run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
    {
        alarm(nSeconds);
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
Run RunTool(const std::vector<std::string>& args, unsigned nSeconds = 30)
{
    return RunInChild(
        [&args]()
        {
            const int nNull = open("/dev/null", O_WRONLY);
            dup2(nNull, 0);
            dup2(nNull, 1);
            dup2(nNull, 2);
            std::vector<char*> argv;
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        },
        nSeconds);
}

// Our reader in a child process too, reading the file as the tools do, so
// times and peaks compare alike and the parent's memory is not inherited.
Run RunOwn(FuzzReader reader, const QString& strPath)
{
    return RunInChild(
        [reader, &strPath]()
        {
            QFile file(strPath);
            if (!file.open(QIODevice::ReadOnly))
                _exit(1);
            RunFuzzReader(reader, file.readAll());
        });
}

void Print(const char* pszDoc, const char* pszTool, const Run& run, const Run* pOwn = nullptr,
           double fGoal = 0)
{
    if (run.bTimedOut)
        std::printf("%-26s %-10s %10s %10s", pszDoc, pszTool, "timed out", "-");
    else
        std::printf("%-26s %-10s %10.1f %10.1f", pszDoc, pszTool, run.fMs, run.fPeakMb);
    // A stopped tool ran at least as long as its limit, so its ratio is a floor.
    if (pOwn && pOwn->bOk && pOwn->fMs > 0 && (run.bOk || run.bTimedOut))
        std::printf(" %s%7.2f", run.bTimedOut ? ">" : " ", run.fMs / pOwn->fMs);
    else if (pOwn)
        std::printf(" %8s", "-");
    if (pOwn && fGoal > 0)
        std::printf("  (goal >= %.1f)", fGoal);
    if (!run.bOk && !run.bTimedOut)
        std::printf("  (failed)");
    std::printf("\n");
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

// Words drawn from a fixed seed, so every run reads the same documents.
class Words
{
public:
    QByteArray Next(int nCount)
    {
        static const char* const apszWords[] = {
            "the",   "reading", "voice", "of",     "a",     "sentence", "paragraph", "quick",
            "brown", "fox",     "jumps", "over",   "lazy",  "dog",      "and",       "then",
            "spoke", "slowly",  "while", "people", "heard", "every",    "word",      "clearly"};
        QByteArray out;
        for (int n = 0; n < nCount; ++n)
        {
            if (n)
                out += ' ';
            out += apszWords[m_random.bounded(int(std::size(apszWords)))];
        }
        return out;
    }

private:
    QRandomGenerator m_random{11};
};

// A page with the markup of a long article: headings, links, lists,
// tables, entities, a style sheet and a script that are not read.
QByteArray HtmlPage(int nBytes)
{
    Words words;
    QByteArray out = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Long page</title>"
                     "<style>p { margin: 1em } .note { color: grey }</style>"
                     "<script>var n = 1 < 2 && 3 > 2;</script></head><body>\n";
    for (int n = 0; out.size() < nBytes; ++n)
    {
        if (n % 30 == 0)
            out += "<h2 id=\"s" + QByteArray::number(n) + "\">" + words.Next(4) + "</h2>\n";
        if (n % 10 == 5)
            out += "<ul><li>" + words.Next(6) + "</li><li>" + words.Next(6) + "</li><li>" +
                   words.Next(6) + "</li></ul>\n";
        if (n % 25 == 7)
            out += "<table><tr><td>" + words.Next(3) + "</td><td>" + words.Next(3) +
                   "</td></tr><tr><td>" + words.Next(3) + "</td><td>" + words.Next(3) +
                   "</td></tr></table>\n";
        out += "<p class=\"note\">" + words.Next(12) + " <a href=\"https://example.org/" +
               QByteArray::number(n) + "\">" + words.Next(3) + "</a> " + words.Next(10) +
               " &amp; <b>" + words.Next(4) + "</b>&nbsp;&#8212; <i>" + words.Next(5) + "</i> " +
               words.Next(14) + ".</p>\n<!-- " + words.Next(2) + " -->\n";
    }
    return out + "</body></html>\n";
}

// A document with the groups a word processor writes around its text.
QByteArray RtfDocument(int nBytes)
{
    Words words;
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times;}"
                     "{\\f1\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                     "{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}\n";
    for (int n = 0; out.size() < nBytes; ++n)
    {
        if (n % 30 == 0)
            out += "\\pard\\s1\\f1\\fs32\\b " + words.Next(4) + "\\b0\\par\n";
        out += "\\pard\\plain\\s0\\f0\\fs24 " + words.Next(12) + " {\\b " + words.Next(4) +
               "} caf\\'e9 {\\i " + words.Next(6) + "} \\u8212? " + words.Next(20) + ".\\par\n";
    }
    return out + "}";
}

// Markdown for pandoc to turn into the packages.
QByteArray Markdown(int nBytes)
{
    Words words;
    QByteArray out;
    for (int n = 0; out.size() < nBytes; ++n)
    {
        if (n % 30 == 0)
            out += "## " + words.Next(4) + "\n\n";
        if (n % 10 == 5)
            out += "- " + words.Next(6) + "\n- " + words.Next(6) + "\n\n";
        out += words.Next(12) + " *" + words.Next(4) + "* " + words.Next(10) + " **" +
               words.Next(3) + "** " + words.Next(16) + ".\n\n";
    }
    return out;
}

bool Installed(const char* pszTool)
{
    return !QStandardPaths::findExecutable(QLatin1String(pszTool)).isEmpty();
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
        bool bLarge = false;
        // Set when a document that tools make could not be made.
        QByteArray skipped = {};
    };
    const int nMb = 1 << 20;
    const int nLarge = 10 * nMb;
    std::vector<Doc> docs = {
        {"rtf sample", "a.rtf", FuzzReader::Rtf, Sample("lo-sample.rtf")},
        {"rtf 1 MB text", "b.rtf", FuzzReader::Rtf,
         Repeat("{\\rtf1\\ansi ", "Some words of text in a line\\par\n", nMb, "}")},
        {"rtf 1 MB groups", "c.rtf", FuzzReader::Rtf, Repeat("{\\rtf1 ", "{", nMb)},
        {"rtf 10 MB document", "big.rtf", FuzzReader::Rtf, RtfDocument(nLarge), true},
        {"doc sample", "a.doc", FuzzReader::Word, Sample("lo-sample.doc")},
        {"html sample", "a.html", FuzzReader::Html, Sample("lo-sample.html")},
        {"html 1 MB page", "b.html", FuzzReader::Html,
         Repeat("<html><body>", "<p>Some words of text in a paragraph.</p>\n", nMb)},
        {"html 40000 divs", "c.html", FuzzReader::Html, QByteArray("<div>").repeated(40000)},
        {"html 1 MB &amp;", "d.html", FuzzReader::Html, Repeat("<p>", "&amp;", nMb)},
        {"html 10 MB page", "big.html", FuzzReader::Html, HtmlPage(nLarge), true},
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
    for (Doc& doc : docs)
    {
        QFile file(dir.filePath(QLatin1String(doc.pszFile)));
        if (!file.open(QIODevice::WriteOnly) || file.write(doc.data) != doc.data.size())
            return 1;
        // Children inherit what the parent holds, which would count in their peaks.
        doc.data = QByteArray();
    }

    // The 10 MB packages come from the tools themselves, so that each of
    // them accepts what it is timed on.
    {
        QFile file(dir.filePath(QStringLiteral("big.md")));
        if (!file.open(QIODevice::WriteOnly) || file.write(Markdown(nLarge)) < 0)
            return 1;
    }
    const std::string strMd = dir.filePath(QStringLiteral("big.md")).toStdString();
    const std::string strOdt = dir.filePath(QStringLiteral("big.odt")).toStdString();
    const unsigned nMakeSeconds = 900;
    const auto make = [&](const char* pszName, const char* pszFile, FuzzReader reader,
                          const std::vector<std::string>& args, const char* pszTool)
    {
        Doc doc{pszName, pszFile, reader, {}, true};
        if (!Installed(pszTool))
            doc.skipped = QByteArray(pszTool) + " is not installed to make it";
        else
        {
            const Run run = RunTool(args, nMakeSeconds);
            if (!run.bOk || !QFile::exists(dir.filePath(QLatin1String(pszFile))))
                doc.skipped =
                    QByteArray(pszTool) + (run.bTimedOut ? " timed out" : " failed") + " making it";
        }
        docs.push_back(doc);
    };
    for (const auto& [pszName, pszFile, reader] :
         {std::tuple{"docx 10 MB text", "big.docx", FuzzReader::Docx},
          std::tuple{"odt 10 MB text", "big.odt", FuzzReader::Odt},
          std::tuple{"epub 10 MB text", "big.epub", FuzzReader::Epub}})
        make(pszName, pszFile, reader,
             {"pandoc", strMd, "-o", dir.filePath(QLatin1String(pszFile)).toStdString()}, "pandoc");
    // LibreOffice renders the pandoc document; its own profile keeps it
    // apart from any office already running.
    const std::string strProfile =
        "-env:UserInstallation=file://" + dir.filePath(QStringLiteral("lo")).toStdString();
    const bool bOdt = QFile::exists(QString::fromStdString(strOdt));
    for (const auto& [pszName, pszFile, reader, pszFilter] :
         {std::tuple{"doc 10 MB text", "big.doc", FuzzReader::Word, "doc"},
          std::tuple{"pdf 10 MB text", "big.pdf", FuzzReader::Pdf, "pdf"}})
    {
        if (bOdt)
            make(pszName, pszFile, reader,
                 {"soffice", strProfile, "--headless", "--convert-to", pszFilter, "--outdir",
                  dir.path().toStdString(), strOdt},
                 "soffice");
        else
            docs.push_back({pszName, pszFile, reader, {}, true, "no .odt to make it from"});
    }

    struct Tool
    {
        const char* pszName;
        FuzzReader reader;
        std::vector<std::string> args;
        double fGoal = 0;
        // Slow tools with nothing to meet skip the 10 MB documents.
        bool bLarge = true;
    };
    const std::vector<Tool> tools = {
        {"unrtf", FuzzReader::Rtf, {"unrtf", "--text"}, 1.0},
        {"antiword", FuzzReader::Word, {"antiword"}},
        {"catdoc", FuzzReader::Word, {"catdoc"}},
        {"lynx", FuzzReader::Html, {"lynx", "-dump"}, 1.0},
        {"html2text", FuzzReader::Html, {"html2text"}},
        {"pandoc", FuzzReader::Html, {"pandoc", "-f", "html", "-t", "plain"}, 0, false},
        {"pandoc", FuzzReader::Rtf, {"pandoc", "-f", "rtf", "-t", "plain"}, 0, false},
        {"pandoc", FuzzReader::Docx, {"pandoc", "-f", "docx", "-t", "plain"}, 5.0},
        {"pandoc", FuzzReader::Odt, {"pandoc", "-f", "odt", "-t", "plain"}, 5.0},
        {"pandoc", FuzzReader::Epub, {"pandoc", "-f", "epub", "-t", "plain"}, 5.0},
        {"pdftotext", FuzzReader::Pdf, {"pdftotext", "-enc", "UTF-8"}, 1.0},
    };
    // Tools get longer on the 10 MB documents; one stopped still gives a
    // floor for the ratio.
    const unsigned nLargeSeconds = 120;
    std::printf("%-26s %-10s %10s %10s %8s\n", "document", "reader", "ms", "peak MB", "x ours");
    // A child's peak includes what it shared with the runner before exec,
    // so no peak below this floor says anything.
    Print("(runner floor)", "true", RunTool({"true"}));
    for (const Doc& doc : docs)
    {
        if (!doc.skipped.isEmpty())
        {
            std::printf("%-26s skipped: %s\n", doc.pszName, doc.skipped.constData());
            continue;
        }
        const QString strPath = dir.filePath(QLatin1String(doc.pszFile));
        const Run own = RunOwn(doc.reader, strPath);
        Print(doc.pszName, "own", own);
        for (const Tool& tool : tools)
        {
            if (tool.reader != doc.reader || (doc.bLarge && !tool.bLarge))
                continue;
            if (!Installed(tool.args.front().c_str()))
            {
                std::printf("%-26s %-10s %10s\n", doc.pszName, tool.pszName, "not installed");
                continue;
            }
            std::vector<std::string> args = tool.args;
            args.push_back(strPath.toStdString());
            Print(doc.pszName, tool.pszName, RunTool(args, doc.bLarge ? nLargeSeconds : 30), &own,
                  doc.bLarge ? tool.fGoal : 0);
        }
    }
    return 0;
}
