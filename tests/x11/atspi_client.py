# SPDX-License-Identifier: MIT
"""A screen reader's view of the real credcipher on an X screen, read with libatspi (the client
library Orca uses) from the accessibility bus: the tree with roles, names, states and relations;
typing and Encrypt read back through the text interface and the events; a Tab round followed by
its focus events; Encrypt and Cancel pressed through the action interface.

Usage: atspi_client.py path/to/credcipher path/to/credcipher-cli   (DISPLAY and the buses set)
"""
import os
import subprocess
import sys
import time

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi, GLib  # noqa: E402

program, cli = sys.argv[1], sys.argv[2]
failures = 0
passes = 0
events = []


def check(what, expected, got):
    global failures, passes
    if expected == got:
        passes += 1
    else:
        failures += 1
        print(f'FAIL: {what}: expected {expected!r}, got {got!r}')


def heard(event):
    events.append((event.type, event.source, event.detail1, event.any_data))


def pump(until, seconds=10):
    """Runs the client's main loop (events arrive there) until `until()` holds."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        if until():
            return True
        context.iteration(False) or time.sleep(0.01)
    return until()


def xdotool(*arguments):
    subprocess.run(['xdotool', *arguments], check=True)


def states(accessible):
    return {Atspi.StateType(s).value_nick for s in accessible.get_state_set().get_states()}


def text_of(accessible):
    return Atspi.Text.get_text(accessible, 0, -1)


def spoken(accessible):
    """What a screen reader says of an object: its role and name."""
    return f'{accessible.get_role_name()} {accessible.get_name()!r}'


listener = Atspi.EventListener.new(heard)
for kind in ('object:state-changed:focused', 'object:text-changed:insert',
             'object:text-caret-moved', 'object:text-selection-changed', 'window:activate',
             'focus:'):
    listener.register(kind)

applications_before = Atspi.get_desktop(0).get_child_count()
env = dict(os.environ, LANG='zh_CN.UTF-8', LC_ALL='', WIN32_DISPLAY='')
process = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        child = desktop.get_child_at_index(i)
        if child is not None and child.get_name() == 'credcipher':
            return child
    return None


def activated():
    return any(kind == 'window:activate' for kind, *_ in events)


if not pump(lambda: application() is not None and activated(), 20):
    print('FAIL: credcipher did not appear on the accessibility bus, activated')
    process.kill()
    sys.exit(1)
app = application()
check('the application has one window', 1, app.get_child_count())
frame = app.get_child_at_index(0)
check('the window as spoken', "frame 'App'", spoken(frame))
check('the window is the active one', True, {'active', 'showing', 'visible'} <= states(frame))
check('the window activation was told by', frame,
      next(source for kind, source, *_ in events if kind == 'window:activate'))

# The main dialog as a person reads it: each field named by the label on its row. Every control
# is visible, showing, enabled and sensitive; buttons and fields are focusable.
expected = [
    ('push button', 'OK', {'is-default'}),
    ('push button', 'Cancel', set()),
    ('label', '帐号：', set()),
    ('label', '密码：', set()),
    ('text', '帐号：', {'editable', 'single-line'}),
    ('text', '密码：', {'editable', 'single-line'}),
    ('push button', '加密', set()),
    ('label', '帐号：', set()),
    ('label', '密码：', set()),
    ('text', '帐号：', {'editable', 'single-line'}),
    ('text', '密码：', {'editable', 'single-line'}),
    ('push button', '解密', set()),
]
children = [frame.get_child_at_index(i) for i in range(frame.get_child_count())]
check('the controls as spoken', [f'{r} {n!r}' for r, n, _ in expected],
      [spoken(c) for c in children])
for child, (role, name, extra) in zip(children, expected):
    required = {'visible', 'showing', 'enabled', 'sensitive'} | extra
    if role != 'label':
        required.add('focusable')
    check(f'states of {role} {name!r} include', required, required & states(child))
    if role == 'label':
        check(f'{name!r} has no focus state', set(), {'focusable', 'focused'} & states(child))
    if name != 'OK':
        check(f'{role} {name!r} is no default button', False, 'is-default' in states(child))
    if role == 'text':
        check(f'{name!r} is not read-only', False, 'read-only' in states(child))
        # The label naming a field lies on its row, to its left.
        relation = [r for r in child.get_relation_set()
                    if r.get_relation_type() == Atspi.RelationType.LABELLED_BY]
        check(f'{name!r} has one labelled-by relation', 1, len(relation))
        label = relation[0].get_target(0) if relation else None
        if label is not None:
            field_box = Atspi.Component.get_extents(child, Atspi.CoordType.SCREEN)
            label_box = Atspi.Component.get_extents(label, Atspi.CoordType.SCREEN)
            check(f'the label of {name!r} is on its row', True,
                  label_box.y < field_box.y + field_box.height and
                  field_box.y < label_box.y + label_box.height and
                  label_box.x + label_box.width <= field_box.x)
            back = [r.get_target(0) for r in label.get_relation_set()
                    if r.get_relation_type() == Atspi.RelationType.LABEL_FOR]
            check(f'the label of {name!r} is its label-for', [child], back)
account_in, password_in, encrypt, account_out, password_out = (
    children[4], children[5], children[6], children[9], children[10])


def click(accessible):
    box = Atspi.Component.get_extents(accessible, Atspi.CoordType.SCREEN)
    xdotool('mousemove', str(box.x + box.width // 2), str(box.y + box.height // 2), 'click', '1')


# Typing into each field: its text, caret and the insert events.
for field, typed in ((account_in, '张三'), (password_in, 'pw 123')):
    click(field)
    pump(lambda: 'focused' in states(field), 5)
    check(f'{spoken(field)} focused by a click', True, 'focused' in states(field))
    del events[:]
    xdotool('type', '--delay', '40', typed)
    pump(lambda: text_of(field) == typed, 10)
    check(f'the text of {spoken(field)} after typing', typed, text_of(field))
    check(f'the caret of {spoken(field)} after typing', len(typed),
          Atspi.Text.get_caret_offset(field))
    inserted = ''.join(data for kind, source, _, data in events
                       if kind == 'object:text-changed:insert' and source == field)
    check(f'insert events of {spoken(field)}', typed, inserted)
    # Each character is drawn inside the field, right of the one before, and is found there.
    field_box = Atspi.Component.get_extents(field, Atspi.CoordType.SCREEN)
    lefts = []
    for offset in range(len(typed)):
        box = Atspi.Text.get_character_extents(field, offset, Atspi.CoordType.SCREEN)
        lefts.append(box.x)
        check(f'character {offset} of {spoken(field)} lies inside it', True,
              field_box.x <= box.x and box.x + box.width <= field_box.x + field_box.width and
              box.width > 0)
        check(f'the character at the middle of character {offset}', offset,
              Atspi.Text.get_offset_at_point(field, box.x + box.width // 2,
                                             box.y + box.height // 2, Atspi.CoordType.SCREEN))
    check(f'the characters of {spoken(field)} run left to right', sorted(set(lefts)), lefts)
    carets = [d for kind, source, d, _ in events
              if kind == 'object:text-caret-moved' and source == field]
    check(f'the last caret event of {spoken(field)}', len(typed), carets[-1] if carets else None)



def selection(field):
    if Atspi.Text.get_n_selections(field) != 1:
        return None
    chosen = Atspi.Text.get_selection(field, 0)
    return chosen.start_offset, chosen.end_offset


# The selection, made by keys and through the text interface, read back and told.
for what, select, expected in (
        ('Shift+Home', lambda: xdotool('key', 'shift+Home'), (0, len('pw 123'))),
        ('SetSelection', lambda: Atspi.Text.set_selection(password_in, 0, 1, 3), (1, 3))):
    del events[:]
    select()
    pump(lambda: selection(password_in) == expected, 5)
    check(f'the selection of {spoken(password_in)} after {what}', expected,
          selection(password_in))
    check(f'{what} was told by a selection event', True,
          pump(lambda: ('object:text-selection-changed', password_in) in
               [(kind, source) for kind, source, *_ in events], 5))

# Encrypt through the action interface; the cipher texts are those of the command line.
cipher = subprocess.run([cli, 'encrypt', '张三', 'pw 123'], env=env, check=True,
                        capture_output=True, text=True).stdout.split()
check('the action of 加密', 'click', Atspi.Action.get_localized_name(encrypt, 0))
del events[:]
check('加密 pressed through its action', True, Atspi.Action.do_action(encrypt, 0))
pump(lambda: text_of(password_out) != '', 10)
check('the account cipher text', cipher[0], text_of(account_out))
check('the password cipher text', cipher[1], text_of(password_out))
check('the cipher text was told in an insert event', True,
      (('object:text-changed:insert', account_out, 0, cipher[0]) in events))
check('the fields keep their text after Encrypt', ['张三', 'pw 123'],
      [text_of(account_in), text_of(password_in)])

# A Tab round: each key moves the focus to the next control in the dialog's order, and the
# focus event names it.
focusable = [c for c in children if 'focusable' in states(c)]
start = next(i for i, c in enumerate(focusable) if 'focused' in states(c))
for step in range(1, len(focusable) + 1):
    target = focusable[(start + step) % len(focusable)]
    del events[:]
    xdotool('key', 'Tab')
    told = lambda: [s for kind, s, d, _ in events
                    if kind == 'object:state-changed:focused' and d == 1]
    pump(lambda: told() != [], 5)
    check(f'Tab {step}: the focus event names', [spoken(target)], [spoken(s) for s in told()])
    check(f'Tab {step}: only {spoken(target)} is focused', [target],
          [c for c in children if 'focused' in states(c)])

# The account's cipher text copied through the editable text interface.
check('CopyText answers', True, Atspi.EditableText.copy_text(account_out, 0, len(cipher[0])))


def clipboard():
    return subprocess.run(['xclip', '-o', '-selection', 'clipboard'], capture_output=True,
                          text=True, timeout=5).stdout


pump(lambda: clipboard() == cipher[0], 5)
check('the clipboard after CopyText', cipher[0], clipboard())

# Cancel, pressed through its action, ends the program as Cancel does. What was copied outlives
# it, but the application leaves the bus with it.
Atspi.Action.do_action(children[1], 0)
try:
    code = process.wait(10)
except subprocess.TimeoutExpired:
    process.kill()
    code = 'still running'
check('Cancel pressed through its action ends the program with', 2, code)
check('the clipboard after the end', cipher[0], clipboard())
check('the application has left the bus', True,
      pump(lambda: Atspi.get_desktop(0).get_child_count() == applications_before, 5))
# Another program takes the clipboard, and the child that served it ends.
subprocess.run(['xclip', '-selection', 'clipboard', '-i'], input='taken', text=True, timeout=5)
pump(lambda: subprocess.run(['pgrep', '-fx', program], capture_output=True).returncode != 0, 5)

print(f'{passes} passed, {failures} failed')
sys.exit(1 if failures else 0)
