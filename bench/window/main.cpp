// The window benchmarks need a display: run them under xvfb-run.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (!gtk_init_check()) {
        fprintf(stderr, "The window benchmarks need a display (run them under xvfb-run).\n");
        return 1;
    }
    Gtk::init_gtkmm_internals();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
