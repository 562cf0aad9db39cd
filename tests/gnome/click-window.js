// A test window for the GNOME Shell tests: GTK 3 on the backend GDK_BACKEND
// names. Writes to descriptor FD "mapped X Y" once shown (its origin, where
// the backend knows it), "motion" when the pointer comes in or moves in it
// (the shell folds the moves of one frame into one, which may be the entry)
// and "press" for each button press.
// Usage: gjs click-window.js FD TITLE WIDTH HEIGHT [maximized|above]
imports.gi.versions.Gtk = '3.0';
imports.gi.versions.Gdk = '3.0';
const {Gtk, Gio} = imports.gi;

const [fd, title, width, height, how] = ARGV;
const out = new Gio.DataOutputStream({base_stream: new Gio.UnixOutputStream({fd: Number(fd), close_fd: true})});
const say = line => {
    out.put_string(`${line}\n`, null);
    out.flush(null);
};

Gtk.init(null);
const win = new Gtk.Window({title, default_width: Number(width), default_height: Number(height)});
if (how === 'maximized')
    win.maximize();
else if (how === 'above')
    win.set_keep_above(true); // stays over the maximized one when that is clicked
const Gdk = imports.gi.Gdk;
win.add_events(Gdk.EventMask.BUTTON_PRESS_MASK | Gdk.EventMask.POINTER_MOTION_MASK |
    Gdk.EventMask.ENTER_NOTIFY_MASK);
win.connect('button-press-event', () => {
    say('press');
    return true;
});
for (const signal of ['motion-notify-event', 'enter-notify-event']) {
    win.connect(signal, () => {
        say('motion');
        return false;
    });
}
win.connect('map-event', () => {
    const [, x, y] = win.get_window().get_origin();
    say(`mapped ${x} ${y}`);
    return false;
});
win.connect('destroy', () => Gtk.main_quit());
win.show_all();
Gtk.main();
