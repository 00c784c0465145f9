#include "support/process_state.h"

#include "mail/delivery_passes.h"
#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"
#include "scan/scan_state.h"

void ResetProcessState(const std::string& dataFolder) {
    SetDataFolderOverride(dataFolder);
    SetEventPump(nullptr);
    DeliveryConnection.reset();
    ProgramSettings = SettingsRecord();
    ChallengeTemplate = DefaultChallengeTemplate();
    PostResponseTemplate = DefaultPostResponseTemplate();
    Accounts.Clear();
    ApprovedSenders.Clear();
    BlockedSenders.Clear();
    RecentRecipients.Clear();
    ScanState = ScanRunState();
    Counters = AccountCounters();
}
