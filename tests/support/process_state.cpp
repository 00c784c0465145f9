#include "support/process_state.h"

#include "mail/delivery_passes.h"
#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "records/program_settings.h"
#include "records/uObjects.h"
#include "scan/scan_state.h"

void ResetProcessState(const std::string& dataFolder) {
    SetDataFolderOverride(dataFolder);
    SetEventPump(nullptr);
    SmtpClient.reset();
    ProgramSettings = TProgramSettings();
    ChallengeTemplate = DefaultChallengeTemplate();
    PostResponseTemplate = DefaultPostResponseTemplate();
    Accounts.Clear();
    WhiteList.Clear();
    BlackList.Clear();
    LoopList.Clear();
    ScanState = ScanRunState();
    Counters = AccountCounters();
}
