#include "platform/FontSetup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// Benchmarks that touch widgets need a QApplication; offscreen unless told
// otherwise. Text is drawn with the program's own font mapping, as it would be
// from the program folder.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tavi::useProgramFonts(QStringLiteral(TAVI_BENCH_PROGRAM_DIR));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
