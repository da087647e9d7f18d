"""An X11 program that copies, in as many targets as it is given (TARGET=FILE...): it owns the
clipboard and serves them until another program takes it."""

import sys

from Xlib import X, Xatom, display
from Xlib.protocol import event

d = display.Display()
window = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
served = {d.get_atom(t): open(f, "rb").read() for t, f in (a.split("=", 1) for a in sys.argv[1:])}
window.set_selection_owner(d.get_atom("CLIPBOARD"), X.CurrentTime)
d.sync()
while (e := d.next_event()).type != X.SelectionClear:
    if e.type == X.SelectionRequest:
        prop = e.property or e.target
        if e.target == d.get_atom("TARGETS"):
            e.requestor.change_property(prop, Xatom.ATOM, 32, [d.get_atom("TARGETS"), *served])
        elif e.target in served:
            e.requestor.change_property(prop, e.target, 8, served[e.target])
        else:
            prop = X.NONE
        e.requestor.send_event(event.SelectionNotify(time=e.time, requestor=e.requestor,
                                                     selection=e.selection, target=e.target, property=prop))
        d.flush()
