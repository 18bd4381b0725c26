#include "match_log.h"

#include <cmath>
#include <cstdio>

namespace matchtools {

std::string json_line(const Json& j) {
    return j.dump(-1, ' ', true, Json::error_handler_t::replace);
}

double rounded_ms(double ms) {
    return std::round(ms * 10) / 10;
}

std::string identity_digest(const Json& identity) {
    // FNV-1a, 64 bits, over the identity's text: the same on every platform.
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : json_line(identity)) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

Json game_record_head(long long number, uint64_t seed, const std::string& match_id, long long pair,
                      const Opening* opening) {
    Json record;
    record["type"] = "game";
    record["game"] = number;
    record["seed"] = seed;
    record["match_id"] = match_id;
    record["pair"] = pair > 0 ? Json(pair) : Json(nullptr);
    if (opening)
        record["opening"] = {{"source", opening->source},
                             {"moves", opening->moves},
                             {"plies", opening->moves.size()}};
    else
        record["opening"] = nullptr;
    return record;
}

Json tally_json(const SideTally& t) {
    Json j;
    j["timed"] = t.timed;
    j["total_ms"] = rounded_ms(t.total_ms);
    j["max_ms"] = rounded_ms(t.max_ms);
    Json counters = Json::object();
    for (const auto& c : t.counters) counters[c.first] = c.second;
    j["counters"] = counters;
    return j;
}

namespace {

const char* const kColours[2] = {"black", "white"};

} // namespace

void put_summary(Json& r, const GameSummary& s, const std::string labels[2]) {
    if (s.fault_kind.empty()) {
        r["fault"] = nullptr;
    } else {
        Json f;
        f["engine"] = labels[s.fault_colour];
        f["colour"] = kColours[s.fault_colour];
        f["kind"] = s.fault_kind;
        f["detail"] = s.fault_detail;
        r["fault"] = f;
    }
    r["notes"] = s.notes;
    r["engines"] = {{"black", s.engines[0]}, {"white", s.engines[1]}};
    if (s.played)
        r["points"] = {{"black", s.points[0]}, {"white", s.points[1]}};
    else
        r["points"] = nullptr;
    if (!s.error.empty()) r["error"] = s.error;
    r["tally"] = {{"black", tally_json(s.tally[0])}, {"white", tally_json(s.tally[1])}};
}

bool summary_of(const Json& r, GameSummary& s, std::string& why) {
    try {
        s = GameSummary{};
        s.number = r.at("game").get<long long>();
        s.pair = r.contains("pair") && r["pair"].is_number() ? r["pair"].get<long long>() : 0;
        for (int c = 0; c < 2; ++c) {
            s.engines[c] = r.at("engines").at(kColours[c]).get<int>();
            const Json& t = r.at("tally").at(kColours[c]);
            s.tally[c].timed = t.at("timed").get<long long>();
            s.tally[c].total_ms = t.at("total_ms").get<double>();
            s.tally[c].max_ms = t.at("max_ms").get<double>();
            for (const auto& item : t.at("counters").items())
                s.tally[c].counters.emplace_back(item.key(), item.value().get<long long>());
        }
        const Json& points = r.at("points");
        s.played = !points.is_null();
        if (s.played)
            for (int c = 0; c < 2; ++c) s.points[c] = points.at(kColours[c]).get<double>();
        const Json& f = r.at("fault");
        if (!f.is_null()) {
            s.fault_kind = f.at("kind").get<std::string>();
            s.fault_colour = f.at("colour").get<std::string>() == "black" ? 0 : 1;
            s.fault_detail = f.at("detail").get<std::string>();
        }
        s.notes = r.at("notes").get<std::vector<std::string>>();
        if (r.contains("error")) s.error = r["error"].get<std::string>();
        for (int c = 0; c < 2; ++c) {
            const std::string key = std::string(kColours[c]) + "_name";
            if (r.contains(key)) s.names[c] = r[key].get<std::string>();
        }
    } catch (const Json::exception& e) {
        why = std::string("not a game record of a match: ") + e.what();
        return false;
    }
    return true;
}

} // namespace matchtools
