#!/usr/bin/env python3
"""Generates the nine voice-navigation prompt files in data/prompts/ with espeak-ng.

Each prompt is spoken by espeak-ng's American English voice, trimmed of the silence
before and after the word, levelled to the same peak and written as a 16-bit mono wave
file, so that any player plays it. Run it again after changing a text:

    python3 tools/make_prompts.py            # writes data/prompts/*.wav
    python3 tools/make_prompts.py --check    # fails when a committed file is missing
"""
import argparse
import array
import io
import pathlib
import subprocess
import sys
import wave

# Prompt file name -> what it says. The names are fixed: the program plays them by name.
PROMPTS = {
    "Call": "Call",
    "RstSnt": "Report sent",
    "RstRcvd": "Report received",
    "Name": "Name",
    "Power": "Number or power",
    "SPC": "State or country",
    "Dupe": "Dupe",
    "NavEn": "Voice navigation on",
    "NavDis": "Voice navigation off",
}

VOICE = "en-us"
WORDS_PER_MINUTE = 165
PEAK = 0.89  # about -1 dB below full scale
SILENCE = 300  # sample magnitude below which the lead and tail count as silence
PAD_MS = 40  # silence kept before and after the word


def speak(text):
    """The wave bytes espeak-ng makes for text (its --stdout stream, sizes left open)."""
    out = subprocess.run(
        ["espeak-ng", "-v", VOICE, "-s", str(WORDS_PER_MINUTE), "--stdout", text],
        check=True,
        capture_output=True,
    ).stdout
    return out


def samples_of(wave_bytes):
    """Rate and 16-bit samples of an espeak-ng stream, read from its data chunk."""
    if wave_bytes[:4] != b"RIFF" or wave_bytes[8:12] != b"WAVE":
        raise ValueError("espeak-ng did not write a wave stream")
    rate = int.from_bytes(wave_bytes[24:28], "little")
    at = 12
    while at + 8 <= len(wave_bytes):
        chunk = wave_bytes[at:at + 4]
        size = int.from_bytes(wave_bytes[at + 4:at + 8], "little")
        if chunk == b"data":
            body = wave_bytes[at + 8:]  # the stream's size field is not filled in
            body = body[: len(body) // 2 * 2]
            return rate, array.array("h", body)
        at += 8 + size + (size & 1)
    raise ValueError("no data chunk in the espeak-ng stream")


def shaped(rate, samples):
    first = next((i for i, s in enumerate(samples) if abs(s) > SILENCE), 0)
    last = next((i for i in range(len(samples) - 1, -1, -1) if abs(samples[i]) > SILENCE),
                len(samples) - 1)
    word = samples[first:last + 1]
    peak = max((abs(s) for s in word), default=1) or 1
    gain = PEAK * 32767 / peak
    pad = array.array("h", [0] * (rate * PAD_MS // 1000))
    levelled = array.array("h", (max(-32768, min(32767, round(s * gain))) for s in word))
    return pad + levelled + pad


def wave_file(rate, samples):
    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())
    return buffer.getvalue()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=str(pathlib.Path(__file__).resolve().parent.parent
                                              / "data" / "prompts"))
    parser.add_argument("--check", action="store_true",
                        help="only check that every prompt file is present")
    args = parser.parse_args()
    out = pathlib.Path(args.out)
    if args.check:
        missing = [n for n in PROMPTS if not (out / f"{n}.wav").is_file()]
        if missing:
            print("missing prompts:", ", ".join(missing), file=sys.stderr)
            return 1
        return 0
    out.mkdir(parents=True, exist_ok=True)
    for name, text in PROMPTS.items():
        rate, samples = samples_of(speak(text))
        data = wave_file(rate, shaped(rate, samples))
        (out / f"{name}.wav").write_bytes(data)
        print(f"{name}.wav  {len(data):6d} bytes  {len(data) / 2 / rate:5.2f} s  \"{text}\"")
    return 0


if __name__ == "__main__":
    sys.exit(main())
