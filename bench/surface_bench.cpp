// Lines on a surface: a line across the image against one between far-away points, which
// the surface cuts to the image, and the pillow face that draws with both.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdint>

#include "controls/paint_surface.h"
#include "controls/surface.h"

namespace {

void DrawLine(benchmark::State& state, int32_t reach) {
  ampora::Surface surface(200, 100);
  for (auto _ : state) {
    surface.MoveTo(-reach, 20);
    surface.LineTo(reach, 80);
    benchmark::DoNotOptimize(surface.Pixel(100, 50));
  }
}

void BM_LineAcrossTheImage(benchmark::State& state) {
  DrawLine(state, 200);
}
BENCHMARK(BM_LineAcrossTheImage);

void BM_LineBetweenFarPoints(benchmark::State& state) {
  DrawLine(state, 2000000000);
}
BENCHMARK(BM_LineBetweenFarPoints);

void BM_PillowFace(benchmark::State& state) {
  ampora::Surface surface(120, 30);
  for (auto _ : state) {
    ampora::PaintSurface(surface, 12, ampora::Rgb(255, 255, 255), ampora::Rgb(180, 180, 180),
                         ampora::Rgb(90, 90, 90));
    benchmark::DoNotOptimize(surface.Pixel(60, 15));
  }
}
BENCHMARK(BM_PillowFace);

}  // namespace

int main(int argc, char** argv) {
  // Fonts and system colours need the application; no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
