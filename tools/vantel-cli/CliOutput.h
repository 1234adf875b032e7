// What vantel-cli prints: the unit's identity, the record's fields and the monitor rows,
// as text or as JSON with the record's own field names.
#pragma once

#include <string>

#include "model/Identity.h"
#include "model/IgnParams.h"

// The unit's single-byte characters (shown as Latin-1 by the window) in UTF-8.
std::string Latin1ToUtf8(const std::string& text);
// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);

std::string IdentityText(const TUnitIdentity& id, unsigned layoutVersion);
std::string IdentityJson(const TUnitIdentity& id, unsigned layoutVersion);
// {"Bike":0,...,"RpmAdv":[...],"Advance":[...]}: every field the .ign file carries, as
// the record stores it.
std::string ParamsJson(const TIgnParams& p);

// A monitor row (the CSV row of the live-value recording, its CR LF included) as one
// line of a table under MonitorTableHeader(), or as a JSON object keyed by the CSV header.
std::string MonitorTableHeader();
std::string MonitorTableLine(const char* csvRow);
std::string MonitorJsonLine(const char* csvRow);
