// The quarantine page with 10,000 quarantined messages in one account, on the
// offscreen platform: filling the list (the core's rows, the model, the
// captions, one layout and paint of the window) and sorting it by each
// column, as the header click and the Sort By menu do.
#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "records/account.h"
#include "ui/main/main_window.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/welcome/welcome_dialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QToolButton>
#include <QTreeView>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int MessageCount = 10000;

struct QuarantinedAccount {
    QuarantinedAccount() {
        char pattern[] = "/tmp/quorvane-bench-XXXXXX";
        folder = ::mkdtemp(pattern);
        SetDataFolderOverride(folder);
        // The empty data folder is a first run, whose modal welcome would
        // stand over the window and wait for a click.
        SetWelcomeRunner([](std::function<void()>, QWidget*) {});
        window = std::make_unique<MainWindow>();
        window->StartUp();
        Account& account = AppendAccount();
        account.EmailAddress = "me@example.com";
        account.ID = "{5CA1AB1E-0000-4000-8000-000000000001}";
        window->findChild<QuarantinePage*>()->AddAccountTab("me@example.com");
        for (int i = 0; i < MessageCount; ++i)
            account.Quarantine.Add("sender" + std::to_string(i * 7919 % MessageCount) + "@example.org",
                                   i % 3 ? "Sender " + std::to_string(i % 977) : "", 0, "{M}.dat",
                                   Now() - (i * 31 % 400), "Subject " + std::to_string(i * 104729 % MessageCount),
                                   "me@example.com");
        window->resize(900, 600);
        window->ShowMainWindow();
        window->findChild<QToolButton*>("quarantineButton")->click();
        QCoreApplication::processEvents();
    }
    ~QuarantinedAccount() {
        window.reset();
        SetWelcomeRunner(nullptr);
        Accounts.Clear();
        std::filesystem::remove_all(folder);
    }
    std::string folder;
    std::unique_ptr<MainWindow> window;
};

QuarantinedAccount& Quarantined() {
    static QuarantinedAccount account;
    return account;
}

void BM_FillList(benchmark::State& state) {
    QuarantinePage* page = Quarantined().window->findChild<QuarantinePage*>();
    for (auto _ : state) {
        page->FillQuarantineList(1);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(page->View().Rows().size());
}
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
    auto* list = Quarantined().window->findChild<QTreeView*>("messageList");
    int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        emit list->header()->sectionClicked(column);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SortByColumn)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
