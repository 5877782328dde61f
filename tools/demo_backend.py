#!/usr/bin/env python3
"""A tiny stand-in backend for trying quillmesh-terminal by hand.

It copies the demo session document to --session, then follows the request
channel at --requests and answers a few actions by rewriting the document:

  refresh                      new capture time, status "Refreshed capture"
  export                       export_feedback, last_export, status "Exported {entity_id}"
  play, pause, resume, stop    playback state; the position advances while playing
  seek                         playback position (offset_s, clamped to the recording)
  save_view                    stores view_state
  select_result                stores result_selection

Any other action only sets the notice "Demo backend ignored {action}".
Every rewrite bumps the revision and goes through a temporary file in the same
folder that replaces the document in one rename, so the viewer never reads a
half-written document. Stop it with Ctrl+C.
"""

import argparse
import datetime
import json
import os
import pathlib
import sys
import tempfile
import time

DEFAULT_SOURCE = pathlib.Path(__file__).resolve().parent.parent / "examples" / "demo-session.json"
POLL_S = 0.1


def now_text():
    return datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def write_atomically(path, document):
    """Writes the document next to its destination, then renames it over the old one."""
    folder = path.parent
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", dir=folder, prefix=".demo-session-", suffix=".tmp", delete=False) as temporary:
        json.dump(document, temporary, indent=2, sort_keys=True, ensure_ascii=False)
        temporary.write("\n")
        temporary.flush()
        os.fsync(temporary.fileno())
    os.chmod(temporary.name, 0o644)
    os.replace(temporary.name, path)


class DemoBackend:
    def __init__(self, session_path, document):
        self.session_path = session_path.resolve()
        self.document = document
        self.exports = self.session_path.parent / (self.session_path.stem + "-exports")
        self.last_tick = time.monotonic()

    @property
    def runtime(self):
        return self.document.setdefault("runtime", {})

    @property
    def playback(self):
        return self.runtime.setdefault("playback", {})

    def publish(self, status=None, notice=None):
        """Bumps the revision and rewrites the document."""
        revision = self.document.get("revision")
        self.document["revision"] = revision + 1 if isinstance(revision, int) else 1
        self.runtime["updated_at"] = now_text()
        if status is not None:
            self.runtime["status"] = status
        if notice is not None:
            self.document["notice"] = notice
        write_atomically(self.session_path, self.document)

    def handle(self, request):
        action = request.get("action")
        handler = getattr(self, f"on_{action}", None) if isinstance(action, str) else None
        if handler is None:
            self.publish(notice=f"Demo backend ignored {action}")
        else:
            handler(request)

    def on_refresh(self, request):
        graph = self.document.get("current", {}).get("graph")
        if isinstance(graph, dict):
            graph["generated_at"] = round(time.time(), 3)
        self.publish(status="Refreshed capture", notice="Demo backend refreshed the capture (the demo data stays the same)")

    def find_exported(self, entity_id, side):
        """The entity with that id on that side; a frame is exported as its transform edges."""
        capture_key, entities_key = ("baseline", "baseline_entities") if side == "baseline" else ("current", "entities")
        if isinstance(entity_id, str) and entity_id.startswith("frame:"):
            frame = entity_id[len("frame:"):]
            edges = self.document.get(capture_key, {}).get("tf", {}).get("edges", [])
            touching = [edge for edge in edges if frame in (edge.get("parent"), edge.get("child"))]
            return {"edges": touching, "frame": frame} if touching else None
        return next((item for item in self.document.get(entities_key, []) if item.get("id") == entity_id), None)

    def on_export(self, request):
        entity_id = request.get("entity_id", "")
        side = request.get("side", "current")
        entity = self.find_exported(entity_id, side)
        feedback = {"at": now_text(), "entity_id": entity_id, "side": side}
        if entity is None:
            feedback.update(status="failed", path=None, error=f"{entity_id} is not in the {side} capture")
            self.runtime["export_feedback"] = feedback
            self.publish(status="Export failed")
            return
        self.exports.mkdir(exist_ok=True)
        name = entity_id.replace(":", "_").replace("/", "_") + ".json"
        destination = self.exports / name
        write_atomically(destination, {"entity": entity, "exported_at": feedback["at"], "side": side})
        feedback.update(status="success", path=str(destination), error=None)
        self.runtime["export_feedback"] = feedback
        self.runtime["last_export"] = str(destination)
        self.publish(status=f"Exported {entity_id}")

    def set_playback(self, state, status):
        self.advance_playback()
        self.playback["state"] = state
        self.publish(status=status)

    def on_play(self, request):
        self.set_playback("playing", "Playback started")

    def on_resume(self, request):
        self.set_playback("playing", "Playback resumed")

    def on_pause(self, request):
        self.set_playback("paused", "Playback paused")

    def on_stop(self, request):
        self.playback["position_s"] = 0.0
        self.set_playback("stopped", "Playback stopped")

    def on_seek(self, request):
        offset = request.get("offset_s")
        if not isinstance(offset, (int, float)) or isinstance(offset, bool):
            self.publish(notice="Demo backend ignored a seek without offset_s")
            return
        self.advance_playback()
        self.playback["position_s"] = round(min(max(float(offset), 0.0), self.duration()), 3)
        self.publish(status=f"Seeked to {self.playback['position_s']:.1f} s")

    def on_save_view(self, request):
        self.document["view_state"] = {key: request.get(key) for key in ("tab", "filter", "selected_id")}
        self.publish()

    def on_select_result(self, request):
        self.document["result_selection"] = request.get("result_id")
        self.publish()

    def duration(self):
        duration = self.playback.get("recording", {}).get("duration_s")
        return float(duration) if isinstance(duration, (int, float)) else 0.0

    def advance_playback(self):
        """Moves the position on by the time played since the last tick."""
        tick = time.monotonic()
        elapsed = tick - self.last_tick
        self.last_tick = tick
        if self.playback.get("state") != "playing":
            return False
        position = self.playback.get("position_s")
        position = float(position) if isinstance(position, (int, float)) else 0.0
        self.playback["position_s"] = round(min(position + elapsed, self.duration()), 3)
        if self.playback["position_s"] >= self.duration():
            self.playback["state"] = "stopped"
        return True

    def tick(self):
        """Once a second while playing, publishes the new position."""
        if time.monotonic() - self.last_tick >= 1.0:
            if self.advance_playback():
                self.publish()


def follow(requests_path, backend):
    """Reads the lines appended to the request channel and hands each to the backend."""
    offset = 0
    pending = b""
    while True:
        try:
            size = requests_path.stat().st_size
        except FileNotFoundError:
            size = 0
        if size < offset:
            offset, pending = 0, b""
        if size > offset:
            with open(requests_path, "rb") as channel:
                channel.seek(offset)
                chunk = channel.read(size - offset)
            offset += len(chunk)
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in lines:
                if not line.strip():
                    continue
                try:
                    request = json.loads(line)
                except (UnicodeDecodeError, json.JSONDecodeError) as error:
                    backend.publish(notice=f"Demo backend could not read a request: {error}")
                    continue
                print(f"request: {line.decode('utf-8', 'replace')}", flush=True)
                backend.handle(request if isinstance(request, dict) else {})
        backend.tick()
        time.sleep(POLL_S)


def main():
    parser = argparse.ArgumentParser(
        description=__doc__,
        epilog=(
            "Example, in two terminals:\n"
            "  tools/demo_backend.py --session /tmp/demo.json --requests /tmp/demo-requests.jsonl\n"
            "  build/quillmesh-terminal --session /tmp/demo.json --requests /tmp/demo-requests.jsonl"
        ),
        formatter_class=argparse.RawDescriptionHelpFormatter,
    )
    parser.add_argument("--session", required=True, type=pathlib.Path, help="session document to write")
    parser.add_argument("--requests", required=True, type=pathlib.Path, help="request channel to follow; emptied at start")
    parser.add_argument("--from", dest="source", type=pathlib.Path, default=DEFAULT_SOURCE, help="document to start from (default: %(default)s)")
    arguments = parser.parse_args()

    try:
        document = json.loads(arguments.source.read_text(encoding="utf-8"))
    except (OSError, json.JSONDecodeError) as error:
        print(f"demo_backend: cannot read {arguments.source}: {error}", file=sys.stderr)
        return 1
    if not isinstance(document, dict):
        print(f"demo_backend: {arguments.source} is not a JSON object", file=sys.stderr)
        return 1
    try:
        arguments.requests.write_bytes(b"")
        write_atomically(arguments.session, document)
        backend = DemoBackend(arguments.session, document)
    except OSError as error:
        print(f"demo_backend: {error}", file=sys.stderr)
        return 1
    print(f"demo_backend: writing {arguments.session}, following {arguments.requests} (Ctrl+C stops)", flush=True)
    try:
        follow(arguments.requests, backend)
    except KeyboardInterrupt:
        return 0
    except OSError as error:
        print(f"demo_backend: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
