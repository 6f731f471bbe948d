// Time and peak memory of the readers on large ordinary documents, each in
// a child process of its own so that the peak belongs to that input alone.
#include "bench/text/childreader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr qsizetype Megabyte = 1 << 20;

QByteArray Fill(qsizetype nSize, const QByteArray& prefix,
                const std::function<QByteArray(int)>& unit, const QByteArray& suffix = {})
{
    QByteArray out = prefix;
    out.reserve(nSize + 1024);
    for (int i = 0; out.size() + suffix.size() < nSize; ++i)
        out.append(unit(i));
    return out + suffix;
}

} // namespace

int main()
{
    const std::vector<KbBench::SReaderCase> cases = {
        {"html 50 MB page", FuzzReader::Html,
         []
         {
             return Fill(
                 50 * Megabyte, "<html><body>\n",
                 [](int i)
                 {
                     return "<p class=text>Paragraph " + QByteArray::number(i) +
                            " holds <b>some</b> words of <a href=x>text</a>.</p>\n";
                 },
                 "</body></html>");
         }},
        {"mht 30 MB small parts", FuzzReader::Mht,
         []
         {
             return Fill(
                 30 * Megabyte,
                 "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n",
                 [](int i)
                 {
                     return "--b\nContent-Type: image/png\nContent-Location: x/" +
                            QByteArray::number(i) +
                            ".png\nContent-Transfer-Encoding: base64\n\niVBORw0KGgo=\n";
                 },
                 "--b\nContent-Type: text/html\n\n<p>The page</p>\n--b--\n");
         }},
    };

    std::printf("%-24s %10s %9s %9s %7s %10s\n", "input", "MB", "ms", "peak MB", "x input",
                "chars");
    for (const KbBench::SReaderCase& c : cases)
    {
        KbBench::SReaderRun result;
        if (!KbBench::RunReaderInChild(c, result))
        {
            std::printf("%-24s FAILED\n", c.pszName);
            return 1;
        }
        const double fInputMb = double(result.nInput) / double(Megabyte);
        const double fPeakMb = double(result.nPeakKb) / 1024.0;
        std::printf("%-24s %10.1f %9.1f %9.1f %7.1f %10lld\n", c.pszName, fInputMb, result.fMs,
                    fPeakMb, fPeakMb / fInputMb, static_cast<long long>(result.nChars));
    }
    return 0;
}
