// make-print-data OUT.dat sample|stale|empty|many N: writes a data file for the
// printing scenarios. "stale" is the sample saved before its overdue task fell
// overdue (every task marked not overdue).
#include "core/data_file.h"
#include "core/date_time.h"
#include "print_samples.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make-print-data OUT.dat sample|stale|empty|many N\n");
        return 2;
    }
    quill::TaskStore store;
    if (std::strcmp(argv[2], "sample") == 0 || std::strcmp(argv[2], "stale") == 0) {
        store = quill::printtest::SampleStore(quill::Today());
        for (quill::TTASK_ITEM& task : store.Tasks)
            task.NotOverdue = task.NotOverdue || std::strcmp(argv[2], "stale") == 0;
    } else if (std::strcmp(argv[2], "many") == 0 && argc > 3) {
        store = quill::printtest::ManyTasks(std::atoi(argv[3]), quill::Today());
    } else if (std::strcmp(argv[2], "empty") == 0) {
        quill::AddDefaultCategories(store);
    } else {
        std::fprintf(stderr, "make-print-data: unknown list \"%s\"\n", argv[2]);
        return 2;
    }
    const quill::SaveResult saved = quill::SaveTasks(store, argv[1]);
    if (!saved.ok) {
        std::fprintf(stderr, "make-print-data: %s\n", saved.error.c_str());
        return 1;
    }
    return 0;
}
