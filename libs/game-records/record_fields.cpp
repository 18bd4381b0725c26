#include "record_fields.h"

namespace game_records {

bool check_game_record(const Json& r, const char* moves_key, const char* what_game,
                       std::string& why) {
    if (!r.is_object() || !r.contains(moves_key) || !r[moves_key].is_array()) {
        why = std::string("not ") + what_game + " game record (it has no \"" + moves_key + "\")";
        return false;
    }
    if (r.contains("type") && r["type"] != "game") {
        why = "not a game record (its type is " + r["type"].dump() + ")";
        return false;
    }
    return true;
}

void read_players(const Json& r, long long& number, std::string labels[2], std::string names[2]) {
    if (r.contains("game") && r["game"].is_number_integer()) number = r["game"].get<long long>();
    for (int c = 0; c < 2; ++c) {
        labels[c] = text_or_empty(r, kColours[c]);
        names[c] = text_or_empty(r, (std::string(kColours[c]) + "_name").c_str());
    }
}

std::vector<std::string> read_opening(const Json& r, std::string& source) {
    std::vector<std::string> moves;
    if (!r.contains("opening") || !r["opening"].is_object()) return moves;
    const Json& o = r["opening"];
    if (o.contains("moves") && o["moves"].is_array())
        for (const Json& m : o["moves"])
            if (m.is_string()) moves.push_back(m.get<std::string>());
    source = text_or_empty(o, "source");
    return moves;
}

void read_notes_and_fault(const Json& r, matchtools::GameSummary& summary,
                          std::string& fault_text) {
    if (r.contains("notes") && r["notes"].is_array())
        for (const Json& n : r["notes"])
            if (n.is_string()) summary.notes.push_back(n.get<std::string>());
    if (r.contains("fault") && r["fault"].is_object()) {
        const Json& f = r["fault"];
        summary.fault_kind = text_or_empty(f, "kind");
        summary.fault_colour = colour_of(f.value("colour", Json()));
        summary.fault_detail = text_or_empty(f, "detail");
        fault_text = summary.fault_kind + " by " + text_or_empty(f, "engine") + " (" +
                     text_or_empty(f, "colour") + "): " + summary.fault_detail;
    }
}

} // namespace game_records
