#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/NAME/, one small file per
seed: well-formed inputs of each kind and the edge cases next to them, so the fuzzer
starts from inputs that reach deep. Run it again after changing a seed; the level seeds are
taken from data/levels/ and tests/replays/, so they follow the game's own files.
    fuzz/make_corpus.py [CORPUS_DIR]"""
import hashlib
import pathlib
import struct
import sys
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "fuzz" / "corpus"


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("utf-8", "surrogatepass"))


def le32(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


def png(width, height, colour_type, depth, rows, palette=None, interlace=0):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace))
    if palette:
        data += chunk(b"PLTE", palette)
    raw = b"".join(b"\x00" + row for row in rows)
    return data + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def wav(tag, channels, rate, bits, samples, align=None):
    align = channels * bits // 8 if align is None else align
    header = b"RIFF" + le32(36 + len(samples)) + b"WAVEfmt " + le32(16)
    header += struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    return header + b"data" + le32(len(samples)) + samples


def pictures():
    write("png", "rgb_1x1.png", png(1, 1, 2, 8, [b"\xff\x00\x00"]))
    write("png", "palette_2x2.png", png(2, 2, 3, 8, [b"\x00\x01", b"\x01\x00"], palette=b"\x00\x00\x00\xff\xff\xff"))
    write("png", "grey_4bit_interlaced.png", png(3, 3, 0, 4, [b"\x12\x30"] * 3, interlace=1))
    write("png", "too_wide.png", png(1025, 1, 2, 8, [b"\x00" * 3075]))


def sounds():
    write("wav", "mixing_format.wav", wav(1, 1, 22050, 16, struct.pack("<8h", 0, 1000, -1000, 32767, -32768, 5, 4, 3)))
    write("wav", "8bit_8000.wav", wav(1, 1, 8000, 8, bytes(range(0, 256, 16))))
    write("wav", "stereo_44100.wav", wav(1, 2, 44100, 16, bytes(64)))
    write("wav", "slowest_rate.wav", wav(1, 1, 1000, 8, b"\x80" * 40))
    write("wav", "one_frame_fast.wav", wav(1, 2, 192000, 16, bytes(4)))
    write("wav", "torn_frame.wav", wav(1, 2, 11025, 16, bytes(7)))
    write("wav", "float.wav", wav(3, 1, 22050, 32, bytes(16)))
    write("wav", "bad_alignment.wav", wav(1, 2, 22050, 16, bytes(16), align=3))
    write("wav", "header_only.wav", wav(1, 1, 22050, 16, b""))
    write("wav", "short.wav", wav(1, 1, 22050, 16, b"")[:43])


def level_maps():
    levels = [[0] * 192 for _ in range(50)]
    for level, path in enumerate(sorted((ROOT / "data" / "levels").glob("level*.txt"))[:50]):
        levels[level] = parse_level(path.read_text())
    whole = b"".join(le32(*cells) for cells in levels)
    write("level_map", "levels.dat", whole)
    write("level_map", "short.dat", whole[:1000])
    write("level_map", "torn_cell.dat", whole[:769])
    hostile = [10, 19, 29, 39, 49, 59, 69, 70, 99, -1, -15, 0x7FFFFFFF, -0x80000000, 9, 1000] + [60] * 40
    write("level_map", "hostile_values.dat", le32(*hostile).ljust(768, b"\x00") + whole[768:])
    write("level_map", "fire_field.dat", le32(*([60] * 192)) + whole[768:])
    write("level_map", "last_level_only.dat", whole[:49 * 768] + le32(*([55] * 96 + [10] * 96)))
    write("level_map", "longer.dat", whole + b"\x01\x02\x03\x04")
    write("level_map", "empty.dat", b"")


def parse_level(text):
    kinds = {"S": 1, "M": 2, "G": 3, "H": 4, "B": 5, "F": 6}
    cells = []
    for line in text.splitlines():
        line = line.split("#")[0].split()
        for token in line:
            cells.append(0 if token == ".." else kinds[token[0]] * 10 + int(token[1]))
    return (cells + [0] * 192)[:192]


def saved_games():
    for name, values in {
        "new_game": (1, 3, 0), "last_level": (50, 1, 123456), "top_score": (3, 9999, 0x7FFFFFFF),
        "negative_score": (2, 2, -1000), "past_the_map": (51, 3, 0), "no_level": (0, 3, 0),
        "no_lives": (1, 0, 5), "negative_lives": (1, -2147483648, 0), "huge_lives": (1, 0x7FFFFFFF, -0x80000000),
    }.items():
        write("saved_game", name + ".dat", le32(*values))
    write("saved_game", "level_only.dat", le32(2))
    write("saved_game", "torn.dat", le32(3, 2)[:7])
    write("saved_game", "longer.dat", le32(1, 3, 0, 99))


def score_record(pending, name_units, score):
    units = (list(name_units) + [0] * 9)[:9]
    return bytes([pending, 0]) + struct.pack("<9H", *units) + le32(score) + bytes(8)


def score_files():
    defaults = b"".join(score_record(0, [ord(c) for c in "PLAYER"], 100 - i) for i in range(100))
    write("score_file", "defaults.sav", b"\x00\x01" + defaults)
    odd = [score_record(1, [0xD83C, 0xDFAE, 0x41], 0xFFFFFFFF), score_record(0xFF, [0x42] * 9, 0x80000000),
           score_record(0, [0xDC00, 0xD800], 2**31 - 1), score_record(1, [], 0), score_record(0, [0x41, 0, 0x42], 7)]
    write("score_file", "hostile_entries.sav", b"\x07\x00" + b"".join(odd) + defaults[len(odd) * 32:])
    write("score_file", "unsorted.sav", b"\x01\x01" + b"".join(score_record(0, [0x5A], i) for i in range(100)))
    write("score_file", "short.sav", (b"\x01\x00" + defaults)[:100])
    write("score_file", "options_only.sav", b"\x00\x00")
    write("score_file", "longer.sav", b"\x00\x01" + defaults + b"extra")


def score_replies():
    for name, reply in {
        "list": ";ANNA,500;BOB,400;CAT,30", "blanks": "header; A B , 12;C,\t 7", "utf8": ";\u00e9t\u00e9,30;\U0001F3AE\U0001F3AE,9",
        "trailing": ";A,12abc;B,3", "too_long_name": ";ABCDEFGH,1;ABCDEFGHI,2;C,3", "too_large": ";A,4294967295;B,4294967296",
        "no_comma": ";A,1;B", "no_digits": ";A,;B,2", "nul": ";A,1\x00;B,2", "eleven_digits": ";A,00000000001",
        "invalid_utf8": b";\xff\xfe,5;\xc3,6", "empty": "",
    }.items():
        write("score_reply", name + ".txt", reply)
    write("score_reply", "hundred_and_one.txt", "".join(";P%d,%d" % (i, 1000 - i) for i in range(101)))
    write("score_reply", "past_the_limit.txt", ";A,1" + " " * 8190 + ";B,2")


def queries():
    for name, query in {
        "submission": "myname=ANNA&myscore=500", "encoded": "myname=%C3%A9t%C3%A9&myscore=4294967295",
        "plus_and_space": "myname=A+B%20C&myscore=1", "comma": "myname=A%2CB&myscore=5", "semicolon": "myname=A%3B&myscore=5",
        "control": "myname=A%0A&myscore=5", "c1_control": "myname=%C2%85&myscore=5", "overlong": "myname=%C0%AF&myscore=5",
        "surrogate": "myname=%ED%A0%80&myscore=5", "nine_units": "myname=ABCDEFGHI&myscore=5",
        "astral": "myname=%F0%9F%8E%AE%F0%9F%8E%AE%F0%9F%8E%AE%F0%9F%8E%AE&myscore=5", "zero": "myname=A&myscore=0",
        "leading_zeros": "myname=A&myscore=0000000007", "twice": "myname=A&myname=B&myscore=1", "bad_escape": "myname=%zz&myscore=1",
        "short_escape": "myname=A%4", "no_equals": "myname&myscore=1", "board": "board=week", "unknown": "x=1", "empty": "",
    }.items():
        write("query", name + ".txt", query)
    write("query", "too_long.txt", "myname=" + "A" * 600 + "&myscore=1")


def http_requests():
    game = "/Zebrolite2/updateScore_ppc.php"
    def get(target, headers="", method="GET", version="1.1"):
        return "%s %s HTTP/%s\r\nHost: 127.0.0.1\r\n%s\r\n" % (method, target, version, headers)
    for name, request in {
        "list": get(game), "submission": get(game + "?myname=ANNA&myscore=501"),
        "submit_then_list": get(game + "?myname=%C3%A9&myscore=30") + get(game),
        "revalidate": get(game, 'If-None-Match: W/"f-2", "f-1"\r\n'), "any_tag": get(game, "If-None-Match: *\r\n"),
        "proxied": get(game + "?myname=Z&myscore=9", "X-Real-IP: 203.0.113.9\r\nX-Forwarded-For: 198.51.100.1, 203.0.113.5\r\n"),
        "rate_limited": "".join(get(game + "?myname=R%d&myscore=%d" % (i, i + 1)) for i in range(5)),
        "head": get(game, method="HEAD"), "head_submission": get(game + "?myname=A&myscore=1", method="HEAD"),
        "post": "POST %s HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello" % game,
        "chunked": "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
        "scores": get("/api/v1/scores?board=day&offset=1&limit=100"), "scores_bad": get("/api/v1/scores?limit=0"),
        "rank": get("/api/v1/rank?name=ANNA&board=all"), "rank_missing": get("/api/v1/rank?name=NOBODY"),
        "health": get("/healthz"), "metrics": get("/metrics"), "page": get("/", version="1.0"), "other": get("/favicon.ico"),
        "bad_request_line": "GET\r\n\r\n", "folded_header": "GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n",
        "page_with_tags": get("/?fbclid=IwAR3&board=week&utm_source=x&"),
    }.items():
        write("http_request", name + ".txt", request)
    # A recorded game posted, then the boards and its download; and a replay without a length.
    game_file = (ROOT / "fuzz" / "corpus" / "replay" / "test_key").read_bytes()
    game_id = hashlib.sha256(game_file).hexdigest()[:32]
    post = lambda body, length: (
        "POST /api/v1/games HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-zebrolite-replay\r\n"
        "Content-Length: %d\r\n\r\n" % length).encode() + body
    write("http_request", "post_replay.txt", post(game_file, len(game_file)) + post(game_file, len(game_file)) +
          (get("/api/v1/scores?verified=1") + get("/api/v1/games/%s/replay" % game_id) + get("/?verified=1")).encode())
    write("http_request", "post_replay_cut.txt", post(game_file[:40], len(game_file)))
    write("http_request", "post_replay_chunked.txt",
          b"POST /api/v1/games HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nZEBRP\r\n0\r\n\r\n")


def level_texts():
    for path in sorted((ROOT / "data" / "levels").glob("level0[1-3].txt")):
        write("level_text", path.name, path.read_text())
    write("level_text", "all_kinds.txt", "\n".join([" ".join(["S0", "M1", "G2", "H3", "B4", "F5"] * 2)] * 16) + "\n")
    write("level_text", "shut_in.txt", "\n".join(["B0 " * 11 + "B0"] * 15 + [".. " * 11 + "S0"]) + "\n")
    write("level_text", "short_row.txt", "S0 S0\n" * 16)
    write("level_text", "bad_cells.txt", "X0 S. .0 ... B9 F9 S10 \t\r M0 G0 H0 S0 S0\n" * 17)
    write("level_text", "comments_only.txt", "# nothing but a comment\n\n   \n")
    whole = b"".join(le32(*parse_level((ROOT / "data" / "levels" / ("level%02d.txt" % n)).read_text())) for n in range(1, 51))
    write("level_text", "brick_map.dat", whole)


def scripts():
    for path in sorted((ROOT / "tests" / "replays").glob("*.zs"))[:2]:
        write("script", path.name, path.read_text())
    write("script", "every_command.zs", "\n".join([
        "seed 4294967295", "tick", "tick 0", "key RETURN", "keyup 0x41", "key APP4", "pen down 0 65535", "pen move 12 13",
        "pen up 1 1", "activate", "deactivate", "focus on", "focus off", "dump", "hash", "shot out.png", "autopilot on",
        "autopilot off", "cell 0 0 60", "hide 1 1 3", "ball add 0x10000 -0x10000 1 2 3 0", "ball rest 5", "ball clear",
        "paddle x -2147483648", "paddle size 2", "paddle attach 1", "item add 1 2 3 4 5", "lives 2147483647", "score -1",
        "level 3  # a comment"]) + "\n")
    for name, text in {"unknown": "jump 3\n", "too_many": "tick 1 2\n", "out_of_range": "paddle size 3\n",
                       "binary_word": "key \x01\xff\x7f\n", "long_word": "cell " + "9" * 100 + " 0 0\n", "hex_edge": "seed 0x\n",
                       "negative_tick": "tick -1\n", "key_number": "key 255\nkey 256\n"}.items():
        write("script", name + ".zs", text)


if __name__ == "__main__":
    for make in (pictures, sounds, level_maps, saved_games, score_files, score_replies, queries, http_requests,
                 level_texts, scripts):
        make()
