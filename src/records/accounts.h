#pragma once

// The records of the program in one include: accounts with their aliases,
// store, folders and addresses, the quarantine index, the header records of
// a scan, the sender lists and the loop list. Code that needs only one of
// them includes that header.

#include "records/account.h"
#include "records/account_address.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "records/alias_list.h"
#include "records/email_syntax.h"
#include "records/quarantine_index.h"
#include "records/recent_recipient_list.h"
#include "records/scanned_header_list.h"
#include "records/sender_list.h"
#include "records/sender_lists.h"
