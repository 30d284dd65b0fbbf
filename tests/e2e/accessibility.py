"""Walks the window's accessibility tree as a screen reader does (AT-SPI) and drives the
window with key events only. Every focusable control of every form and dialog must have a
name in words that is none of the controls' own names; the hidden Close button must not be
there at all; the preview and the status summary must say what the symbol is."""

import os
import re
import subprocess
import sys
import time

import pyatspi

# Names of the controls and the captions that are names rather than words.
CONTROL_NAMES = {
    "fheightedt", "fnarwidthedt", "natiocbox", "heardtextedt", "barcodeedt", "Edit1",
    "Supplementaltxt", "barwidth", "ComboBox1", "topedt", "downedt", "leftedt", "rightedt",
    "iwidthedt", "xedt", "yedt", "Memo1", "pagesetting", "font", "turn3", "turn 1", "trun 2",
    "ToolButton6",
}
CONTROL_PATTERN = re.compile(r"^(ToolButton|Button|BitBtn|Edit|Label|ComboBox|Panel|Image)\d+$")
failures = []


def keys(*names, pause=0.6):
    subprocess.run(["xdotool", "key", "--delay", "200", *names], check=True)
    time.sleep(pause)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)
    time.sleep(0.4)


def application():
    pid = int(os.environ["MARLISK_PID"])
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            try:
                if a is not None and a.get_process_id() == pid:
                    return a
            except Exception:
                pass
        time.sleep(0.2)
    sys.exit("FAIL: the program is not on the accessibility bus")


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def showing_windows(app):
    out = []
    for i in range(app.childCount):
        w = app.getChildAtIndex(i)
        if w is not None and w.getState().contains(pyatspi.STATE_SHOWING):
            out.append(w)
    return out


def window_named(app, title, timeout=10):
    end = time.time() + timeout
    while time.time() < end:
        for w in showing_windows(app):
            if w.name == title:
                return w
        time.sleep(0.2)
    failures.append(f"no window '{title}' appeared")
    return None


def in_words(name):
    return bool(re.search(r"[A-Za-z]{2,}", name)) and name.strip() not in CONTROL_NAMES \
        and not CONTROL_PATTERN.match(name.strip())


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0).name or ""
    return ""


def check_controls(window, where):
    """Every focusable, showing control of the window has a name in words."""
    if window is None:
        return 0
    seen = 0
    for node in walk(window):
        states = node.getState()
        if not (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)):
            continue
        role = node.getRoleName()
        # Containers, and a list's items (their names are the values offered).
        if role in ("frame", "dialog", "window", "menu bar", "scroll pane", "filler", "panel",
                    "list item", "list", "menu", "menu item"):
            continue
        seen += 1
        name = node.name or ""
        if role == "combo box":
            # A drop-down list's name is its current value on this platform; a screen
            # reader says the label it is labelled by.
            name = labelled_by(node)
        if not in_words(name):
            failures.append(f"{where}: a focusable {role} is named '{name}'")
    if seen == 0:
        failures.append(f"{where}: no focusable control found")
    return seen


def check_toolbar(window, where):
    for node in walk(window):
        if node.getRoleName() == "tool bar":
            for b in walk(node):
                if b is node or b.getRoleName() not in ("push button", "toggle button"):
                    continue
                if not b.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                if not in_words(b.name or ""):
                    failures.append(f"{where}: a toolbar button is named '{b.name}'")


def check_no_hidden_close(window, where):
    for node in walk(window):
        if node.getRoleName() == "push button" and (node.name or "").strip().lower() == "close":
            failures.append(f"{where}: the hidden Close button is exposed")


def find(window, predicate):
    for node in walk(window):
        if predicate(node):
            return node
    return None


def main():
    app = application()
    main_window = window_named(app, "Marlisk Barcode Generator ") or window_named(
        app, "Marlisk Barcode Generator")

    # Each designer form, chosen by F10 and its mnemonic in the Symbology menu.
    for mnemonic, title in (("c", "C39"), ("3", "EAN-13"), ("8", "EAN-8"), ("a", "UPC-A"),
                            ("e", "UPC-E")):
        keys("F10", "Right", mnemonic, pause=1.5)
        where = f"the {title} form"
        n = check_controls(main_window, where)
        check_toolbar(main_window, where)
        check_no_hidden_close(main_window, where)
        print(f"checked {n} focusable controls of {where}")

    # UPC-E: message, Build/Copy with Enter; the preview and the status summary speak.
    keys("Tab", "Tab")
    type_text("123456")
    keys("Tab", "Return", pause=2)
    preview = find(main_window, lambda n: (n.name or "").startswith("UPC-E 01234565"))
    if preview is None:
        failures.append("no control says 'UPC-E 01234565...' after the build (the preview)")
    else:
        print(f"preview: '{preview.name}' / '{preview.description}'")
        if "Scan OK" not in preview.name and "Check" not in preview.name:
            failures.append(f"the preview's name lacks the check summary: '{preview.name}'")
    summary = find(main_window, lambda n: n.getRoleName() == "label" and (n.name or "") in ("Scan OK",)
                   or (n.name or "").startswith("Check: "))
    if summary is None:
        failures.append("the status summary is not named by what it says")

    # Print Option: Tab from Build/Copy to Print, Enter.
    keys("Tab", "Return", pause=1.5)
    d = window_named(app, "Print Option")
    print(f"checked {check_controls(d, 'Print Option')} focusable controls of Print Option")
    keys("Escape")

    # The symbol check's report (F7).
    keys("F7", pause=1.5)
    report = [w for w in showing_windows(app) if w.name not in ("Marlisk Barcode Generator ",)]
    for w in report:
        print(f"checked {check_controls(w, w.name)} focusable controls of {w.name}")
    keys("Escape")

    # Page Setting (Settings, mnemonic a).
    keys("F10", "a", pause=1.5)
    d = window_named(app, "Page Setting")
    print(f"checked {check_controls(d, 'Page Setting')} focusable controls of Page Setting")
    keys("Escape")

    # About (Help, mnemonic a): OK is pressed with Enter.
    keys("F10", "Escape", "Left", "Left", "Return", "a", pause=1.5)
    d = window_named(app, "About")
    print(f"checked {check_controls(d, 'About')} focusable controls of About")
    keys("Return")

    # A Notice: Build/Copy with a message too short.
    keys("shift+Tab", "shift+Tab", "ctrl+a", "BackSpace", "Tab", "Return", pause=1.5)
    d = window_named(app, "Notice")
    print(f"checked {check_controls(d, 'Notice')} focusable controls of Notice")
    keys("Return")

    if failures:
        for f in failures:
            print("FAIL:", f)
        sys.exit(1)
    print("ok: every focusable control of every form and dialog is named in words")


main()
