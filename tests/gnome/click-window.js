// A test window for the GNOME Shell tests: GTK 3 on the backend GDK_BACKEND
// names. Writes to descriptor 3 "mapped X Y" once shown (its origin, where
// the backend knows it), "motion" when the pointer moves in it and "press"
// for each button press.
// Usage: gjs click-window.js TITLE WIDTH HEIGHT [maximized]
imports.gi.versions.Gtk = '3.0';
imports.gi.versions.Gdk = '3.0';
const {Gtk, Gio} = imports.gi;

const [title, width, height, how] = ARGV;
const out = new Gio.DataOutputStream({base_stream: new Gio.UnixOutputStream({fd: 3, close_fd: true})});
const say = line => {
    out.put_string(`${line}\n`, null);
    out.flush(null);
};

Gtk.init(null);
const win = new Gtk.Window({title, default_width: Number(width), default_height: Number(height)});
if (how === 'maximized')
    win.maximize();
const Gdk = imports.gi.Gdk;
win.add_events(Gdk.EventMask.BUTTON_PRESS_MASK | Gdk.EventMask.POINTER_MOTION_MASK);
win.connect('button-press-event', () => {
    say('press');
    return true;
});
win.connect('motion-notify-event', () => {
    say('motion');
    return false;
});
win.connect('map-event', () => {
    const [, x, y] = win.get_window().get_origin();
    say(`mapped ${x} ${y}`);
    return false;
});
win.connect('destroy', () => Gtk.main_quit());
win.show_all();
Gtk.main();
