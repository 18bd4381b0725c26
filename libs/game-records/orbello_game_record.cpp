#include "orbello_game_record.h"

#include "record_fields.h"
#include "rules/rules.h"

namespace game_records {

Json orbello_game_fields(const OrbelloGame& g) {
    Json o;
    o["black"] = g.labels[0];
    o["white"] = g.labels[1];
    o["black_name"] = g.names[0];
    o["white_name"] = g.names[1];
    o["bases"] = {g.base_x, g.base_y};
    Json moves = Json::array(), ms = Json::array();
    for (const OrbelloMove& m : g.moves) {
        moves.push_back(m.text);
        ms.push_back(m.ms < 0 ? Json(nullptr) : Json(matchtools::rounded_ms(m.ms)));
    }
    o["moves"] = moves;
    o["ms"] = ms;
    Json refusals = Json::array();
    for (const OrbelloRefusal& r : g.refusals)
        refusals.push_back({{"ply", r.ply},
                            {"colour", kColours[r.colour]},
                            {"text", r.text},
                            {"ms", matchtools::rounded_ms(r.ms)}});
    o["refusals"] = refusals;
    o["pieces"] = {{"black", g.pieces[0]}, {"white", g.pieces[1]}};
    o["result"] = g.result.empty() ? Json(nullptr) : Json(g.result);
    o["winner_label"] = g.winner < 0 ? Json(nullptr) : Json(g.labels[g.winner]);
    o["reason"] = g.reason;
    if (g.adjudication.empty())
        o["adjudication"] = nullptr;
    else
        o["adjudication"] = {{"rule", g.adjudication},
                             {"max_plies", g.max_plies},
                             {"no_capture_plies", g.no_capture_plies},
                             {"decided_by", "piece count, equal counts a draw"}};
    matchtools::put_summary(o, g.summary, g.labels);
    return o;
}

std::string rebase_move(const std::string& text, int from_x, int from_y, int to_x, int to_y) {
    if (text.size() != 4) return "";
    std::string out;
    for (int i = 0; i < 4; ++i) {
        const int v = static_cast<unsigned char>(text[i]) - (i % 2 == 0 ? from_x : from_y);
        if (v < 0 || v >= BOARD_SIZE) return "";
        out += static_cast<char>((i % 2 == 0 ? to_x : to_y) + v);
    }
    return out;
}

namespace {

bool read_fields(const Json& r, OrbelloRecord& out, std::string& why) {
    out = OrbelloRecord{};
    if (!check_game_record(r, "moves", "an Orbello", why)) return false;
    OrbelloGame& g = out.game;
    read_players(r, out.number, g.labels, g.names);
    if (r.contains("bases")) {
        const Json& b = r["bases"];
        if (!b.is_array() || b.size() != 2 || !b[0].is_number_integer() ||
            !b[1].is_number_integer() || b[0].get<int>() < 32 || b[0].get<int>() + 5 > 126 ||
            b[1].get<int>() < 32 || b[1].get<int>() + 5 > 126) {
            why = "its bases " + b.dump() + " are not two printable characters' codes";
            return false;
        }
        g.base_x = b[0].get<int>();
        g.base_y = b[1].get<int>();
    }
    const Json& moves = r["moves"];
    const Json ms = r.contains("ms") && r["ms"].is_array() ? r["ms"] : Json::array();
    orbello_rules::Cells board;
    orbello_rules::SetInitialPosition(board);
    int side = BLACK;
    for (size_t i = 0; i < moves.size(); ++i) {
        const std::string where = "move " + std::to_string(i + 1);
        if (!moves[i].is_string()) {
            why = where + " is not text";
            return false;
        }
        OrbelloMove m;
        m.text = moves[i].get<std::string>();
        if (i < ms.size() && ms[i].is_number()) m.ms = ms[i].get<double>();
        const std::string quoted = where + " '" + m.text + "' (" + kColours[side] + ")";
        if (orbello_rules::IsGameOver(board)) {
            why = quoted + " comes after a side lost its last piece";
            return false;
        }
        const std::string plain = rebase_move(m.text, g.base_x, g.base_y, 'A', 'A');
        if (plain.empty()) {
            why = quoted + " does not name two points of the board";
            return false;
        }
        MoveRecord move{plain[0] - 'A', plain[1] - 'A', plain[2] - 'A',
                        plain[3] - 'A', false,          side};
        if (!orbello_rules::IsLegalMove(board, move, nullptr)) {
            why = quoted + " is not a legal move there";
            return false;
        }
        orbello_rules::ApplyMove(board, move);
        side = 1 - side;
        g.moves.push_back(m);
        out.plain_moves.push_back(plain);
    }
    const orbello_rules::PieceCount count = orbello_rules::CountPieces(board);
    g.pieces[0] = count.black;
    g.pieces[1] = count.white;
    if (r.contains("pieces") && r["pieces"].is_object()) {
        for (int c = 0; c < 2; ++c) {
            const Json& p = r["pieces"].value(kColours[c], Json());
            if (!p.is_number_integer() || p.get<int>() != g.pieces[c]) {
                why = "its pieces " + r["pieces"].dump() + " are not what its moves leave (" +
                      std::to_string(g.pieces[0]) + "-" + std::to_string(g.pieces[1]) + ")";
                return false;
            }
        }
    }
    const std::vector<std::string> opening = read_opening(r, out.opening_source);
    // Openings are written with the bases 'A', the moves with the module's.
    for (size_t i = 0; i < opening.size(); ++i)
        if (i >= out.plain_moves.size() || out.plain_moves[i] != opening[i]) {
            why = "the opening's move " + std::to_string(i + 1) + " '" + opening[i] +
                  "' is not move " + std::to_string(i + 1);
            return false;
        }
    out.opening_plies = static_cast<int>(opening.size());
    if (r.contains("refusals") && r["refusals"].is_array())
        for (const Json& f : r["refusals"]) {
            if (!f.is_object()) continue;
            OrbelloRefusal refusal;
            refusal.ply = f.value("ply", 0LL);
            refusal.colour = colour_of(text_or_empty(f, "colour")) == 1 ? 1 : 0;
            refusal.text = text_or_empty(f, "text");
            refusal.ms = f.contains("ms") && f["ms"].is_number() ? f["ms"].get<double>() : 0;
            g.refusals.push_back(refusal);
        }
    g.result = text_or_empty(r, "result");
    g.winner = colour_of(g.result);
    g.reason = text_or_empty(r, "reason");
    if (r.contains("adjudication") && r["adjudication"].is_object())
        g.adjudication = text_or_empty(r["adjudication"], "rule");
    read_notes_and_fault(r, g.summary, out.fault_text);
    out.over = orbello_rules::IsGameOver(board) || !g.result.empty();
    return true;
}

} // namespace

bool read_orbello_record(const Json& r, OrbelloRecord& out, std::string& why) {
    return read_guarded(read_fields, r, out, why);
}

} // namespace game_records
