// The window's speed as a user sees it: from start-up to a drawn forecast,
// and from choosing a satellite to its drawn result. Runs offscreen.
#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/SkyNowPanel.h"

#include "catalogue/Catalogue.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <memory>

namespace {

using tavik::CurrentElementSet;
using tavik::shell::MainWindow;
using tavik::shell::ShellServices;

ShellServices Services()
{
    ShellServices s = ShellServices::System();      // the example beside the program
    s.Now = [] { return std::time_t{1796515200}; }; // 2026-12-06 00:00 UTC
    s.ShowMessage = [](QWidget*, tavik::shell::MessageKind, const QString&, const QString&) {};
    return s;
}

// Runs the event loop until the window reports a finished forecast.
void WaitForForecast(MainWindow& w)
{
    QEventLoop loop;
    QObject::connect(&w, &MainWindow::ForecastDone, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_StartUpToDrawnForecast(benchmark::State& state)
{
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        auto w = std::make_unique<MainWindow>(Services());
        w->StartUp();
        if (w->IsBusy()) WaitForForecast(*w);
        benchmark::DoNotOptimize(w->grab()); // paints everything
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
}
BENCHMARK(BM_StartUpToDrawnForecast)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ChoiceToDrawnResult(benchmark::State& state)
{
    MainWindow w(Services());
    w.StartUp();
    if (w.IsBusy()) WaitForForecast(w);
    auto* combo = w.findChild<QComboBox*>("SatelliteBox");
    int next = 1;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        combo->setCurrentIndex(next);
        emit combo->activated(next); // as a click on the item does
        if (w.IsBusy()) WaitForForecast(w);
        benchmark::DoNotOptimize(w.grab());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        next = next == 1 ? 0 : 1; // TAVIK-SSO and TAVIK-LEO in turn
    }
}
BENCHMARK(BM_ChoiceToDrawnResult)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The sky-now panel's work each second: the place, the light and the labels, with the next rise or set kept from
// the search before (which runs again only once that crossing has passed). The panel is shown, in both models.
void BM_SkyNowUpdate(benchmark::State& state)
{
    auto catalogue = std::make_unique<tavik::SatelliteCatalogue>();
    tavik::LoadCatalogue(ShellServices::System().ProgramFolder.toStdString() + "/example.tle", *catalogue);
    const CurrentElementSet elements = tavik::SelectElementSet(*catalogue, 1);
    const tavik::Station station = tavik::MakeStation("JO40hc");
    tavik::shell::SkyNowPanel panel;
    const auto model = state.range(0) == 0 ? tavik::OrbitModel::Classic : tavik::OrbitModel::Sgp4;
    panel.SetSource([&] { return tavik::shell::SkyNowPanel::Target{&elements, &station, model}; });
    std::time_t now = 1796515200; // 2026-12-06 00:00 UTC
    panel.SetClock([&now] { return now; });
    panel.show();
    panel.Update(); // the first search
    for (auto _ : state) {
        ++now;
        panel.Update();
    }
    state.counters["searches"] = panel.Searches();
}
BENCHMARK(BM_SkyNowUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond)->Iterations(3600);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
