#!/usr/bin/python3
"""Reads the running Vantiro window over AT-SPI as a screen reader does.

Prints each control's role and name, the group of each radio button, then
selects Double through its accessibility action and reports what
the precision rule and the Memory Required display did. Exits non-zero when
a radio button is not announced as one or the rule did not run.

With --help-window it reads the open help window instead: its Contents,
Index and Search tabs, and a search made as a screen reader's user makes it
(words set in the field, List Topics and Display pressed through their
actions), which must open the first page found.

With --forecast-window SERIES it reads the Forecast window: every control
named, with its true role; a refused input read back from the Message line;
then a check of SERIES made through the controls' actions, whose accuracy
table must be read back with its three forecasts.
"""
import sys
import time

import pyatspi


def find_app(name, tries=40):
    for _ in range(tries):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.25)
    return None


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def by_name(app, name, role=None):
    for node, _ in walk(app):
        if node.name == name and (role is None or node.getRoleName() == role):
            return node
    return None


def sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def shown_by_name(app, name, role):
    for node, _ in walk(app):
        if node.name == name and node.getRoleName() == role and showing(node):
            return node
    return None


def check_help_window(app):
    failures = []
    window = None
    for _ in range(20):
        window = by_name(app, "Vantiro User Manual", "frame")
        if window is not None:
            break
        time.sleep(0.25)
    if window is None:
        print("windows:", [(c.getRoleName(), c.name) for c in app])
        return ["no help window"]
    tabs = [node for node, _ in walk(window) if node.getRoleName() == "page tab"]
    print("help tabs:", [t.name for t in tabs])
    if [t.name for t in tabs] != ["Contents", "Index", "Search"]:
        failures.append("the help window's tabs are not Contents, Index, Search")
        return failures
    press(tabs[2])
    time.sleep(0.5)
    words = shown_by_name(window, "Words to search for", "text")
    list_topics = shown_by_name(window, "List Topics", "push button")
    if words is None or list_topics is None:
        return failures + ["the Search tab's field or List Topics is not shown"]
    words.queryEditableText().setTextContents("state file")
    press(list_topics)
    time.sleep(1.0)
    found = shown_by_name(window, "Topics found", "list")
    titles = [child.name for child in found] if found is not None else []
    print("topics found:", titles[:4], "...", len(titles))
    if not titles:
        return failures + ["the search listed no topics"]
    press(shown_by_name(window, "Display", "push button"))
    time.sleep(1.0)
    topic = by_name(window, "Topic")
    text = topic.queryText().getText(0, 200) if topic is not None else ""
    print("page shown:", text.splitlines()[1:2])
    if titles[0] not in text:
        failures.append(f"Display did not open {titles[0]!r}")
    for name in ["Contents", "Keyword to find", "Keywords"]:
        if by_name(window, name) is None:
            failures.append(f"no control named {name!r}")
    return failures


FORECAST_CONTROLS = [
    ("push button", ["Browse for the series file", "Check", "Forecast", "Stop", "Save CSV",
                     "Save picture"]),
    ("text", ["Series file", "Column", "Date column", "Hold back", "Points ahead", "Neurons",
              "Window", "Learning rate", "Seconds"]),
    ("table", ["Accuracy on the held-back values", "Forecast ahead"]),
]
# Roles a user reaches with Tab or acts on: each must be named.
ACTIVE_ROLES = {"push button", "text", "combo box", "table", "check box", "radio button",
                "spin button", "page tab", "list"}


def set_text(window, name, text):
    node = by_name(window, name, "text")
    node.queryEditableText().setTextContents(text)


def label_text(window, description):
    """The text of the label a screen reader reads: its name."""
    for node, _ in walk(window):
        if node.getRoleName() == "label" and node.description == description:
            return node.name
    return ""


def check_forecast_window(app, series):
    window = None
    for _ in range(20):
        window = by_name(app, "Vantiro Forecast", "frame")
        if window is not None:
            break
        time.sleep(0.25)
    if window is None:
        print("windows:", [(c.getRoleName(), c.name) for c in app])
        return ["no Forecast window (Ctrl+F)"]
    failures = []
    for node, depth in walk(window):
        role = node.getRoleName()
        if role in ("filler", "unknown") and not node.name:
            continue
        print("  " * depth + f"{role}: {node.name!r}")
        in_combo = node.parent is not None and node.parent.getRoleName() == "combo box"
        if role in ACTIVE_ROLES and not node.name and not in_combo:
            failures.append(f"a {role} without a name")
    # A combo box is named by its current entry; its label comes by relation.
    engine = None
    for node, _ in walk(window):
        if node.getRoleName() != "combo box":
            continue
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels = [relation.getTarget(i).name for i in range(relation.getNTargets())]
                if "Engine:" in labels:
                    engine = node
    print("engine combo box:", repr(engine.name) if engine is not None else None)
    if engine is None:
        failures.append("no combo box labelled 'Engine:'")
    for name in ["Series and forecasts", "Training curve"]:
        if by_name(window, name, "chart") is None:
            failures.append(f"no chart named {name!r}")
    for role, names in FORECAST_CONTROLS:
        for name in names:
            if by_name(window, name, role) is None:
                failures.append(f"no {role} named {name!r}")
    if failures:
        return failures
    # A refusal is read back from the Message line.
    set_text(window, "Series file", series)
    set_text(window, "Window", "0")
    press(by_name(window, "Check", "push button"))
    time.sleep(0.5)
    refused = label_text(window, "Message")
    print("refusal read back:", repr(refused))
    if "Window must be" not in refused:
        failures.append("the refusal of window 0 is not read back from the Message line")
    # A check made through the controls' actions.
    set_text(window, "Window", "3")
    set_text(window, "Seconds", "1")
    press(by_name(window, "Check", "push button"))
    table = by_name(window, "Accuracy on the held-back values", "table")
    rows = 0
    for _ in range(40):
        time.sleep(0.25)
        rows = table.queryTable().nRows
        if rows == 3 and sensitive(by_name(window, "Check", "push button")):
            break
    cells = table.queryTable()
    header = [cells.getRowDescription(r) for r in range(cells.nRows)]
    first = [cells.getAccessibleAt(0, c).name for c in range(cells.nColumns)] if rows else []
    print("accuracy rows:", header, "network:", first)
    print("progress:", repr(label_text(window, "Progress")))
    if rows != 3 or not header or not header[0].startswith("network"):
        failures.append("the accuracy table was not read back with its three forecasts")
    return failures


def main():
    app = find_app("Vantiro")
    if app is None:
        print("no Vantiro application on the accessibility bus")
        return 2
    if "--forecast-window" in sys.argv[1:]:
        failures = check_forecast_window(app, sys.argv[sys.argv.index("--forecast-window") + 1])
        for failure in failures:
            print("FAIL:", failure)
        return 1 if failures else 0
    if "--help-window" in sys.argv[1:]:
        failures = check_help_window(app)
        for failure in failures:
            print("FAIL:", failure)
        return 1 if failures else 0
    failures = []
    radios = ["Single", "Double", "x87", "nnvec2!", "SSE", "Idle", "Normal", "High"]
    for node, depth in walk(app):
        if node.getRoleName() in ("filler", "unknown") and not node.name:
            continue
        print("  " * depth + f"{node.getRoleName()}: {node.name!r}")
    for name in radios:
        node = by_name(app, name)
        role = node.getRoleName() if node else "missing"
        # Screen readers announce a radio button's group from the named
        # panel that holds it.
        parent = node.parent if node is not None else None
        group = parent.name if parent is not None and parent.getRoleName() == "panel" else ""
        print(f"radio {name!r}: role {role!r}, group {group!r}")
        if role != "radio button":
            failures.append(f"{name} is announced as {role}")
        if not group:
            failures.append(f"{name} is in no named group")

    double = by_name(app, "Double", "radio button")
    sse = by_name(app, "SSE", "radio button")
    memory = by_name(app, "Memory Required:", "text")
    if double is None or sse is None or memory is None:
        failures.append("Double, SSE or Memory Required not found")
    else:
        before = memory.queryText().getText(0, -1)
        print(f"before: SSE sensitive {sensitive(sse)}, memory {before!r}")
        action = double.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        print(f"Double's actions: {names}")
        action.doAction(0)
        time.sleep(1.0)
        after = memory.queryText().getText(0, -1)
        checked = double.getState().contains(pyatspi.STATE_CHECKED)
        print(f"after: Double checked {checked}, SSE sensitive {sensitive(sse)}, "
              f"memory {after!r}")
        if not checked or sensitive(sse) or after == before:
            failures.append("selecting Double by its action skipped the precision rule")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
