// A native Wayland window for the display tests: green, over the whole
// screen, writing "press X Y" to the file named by its argument for every
// button press it gets.
imports.gi.versions.Gtk = '4.0';
const {Gio, GLib, Gtk} = imports.gi;

Gtk.init();
const log = Gio.File.new_for_path(ARGV[0]).append_to(Gio.FileCreateFlags.NONE, null);
function note(line) {
    log.write_all(new TextEncoder().encode(line + '\n'), null);
    log.flush(null);
}

const css = new Gtk.CssProvider();
css.load_from_data('window { background: #00ff00; }', -1);
Gtk.StyleContext.add_provider_for_display(imports.gi.Gdk.Display.get_default(), css,
    Gtk.STYLE_PROVIDER_PRIORITY_APPLICATION);

const win = new Gtk.Window({title: 'lumicue-clicks', decorated: false});
const click = new Gtk.GestureClick({button: 0});
click.connect('pressed', (gesture, n, x, y) => note(`press ${Math.round(x)} ${Math.round(y)}`));
win.add_controller(click);
const loop = GLib.MainLoop.new(null, false);
win.connect('close-request', () => { loop.quit(); return false; });
win.fullscreen();
win.present();
loop.run();
