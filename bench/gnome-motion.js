// Drives the extension as the program does and measures the shell: CPU of
// its process per 1000 pointer motions with the picture shown and hidden,
// and at rest while shown. Run by bench/gnome-bench inside a headless shell.
// Usage: gjs gnome-motion.js SHELL_PID MOTIONS REST_SECONDS
const {Gio, GLib} = imports.gi;
const [pid, motions, rest] = ARGV.map(Number);
const bus = Gio.DBus.session;
const call = (dest, path, iface, method, args) =>
    bus.call_sync(dest, path, iface, method, args, null, 0, 5000, null);
const ext = (method, args) => call('example.lumicue.Shell', '/example/lumicue/Shell', 'example.lumicue.Shell', method, args);
const RD = 'org.gnome.Mutter.RemoteDesktop';
const [session] = call(RD, '/org/gnome/Mutter/RemoteDesktop', RD, 'CreateSession', null).deepUnpack();
const rd = (method, args) => call(RD, session, `${RD}.Session`, method, args);
rd('Start', null);

const ticks = GLib.get_monotonic_time; // µs
const hz = 100;
function cpuMs() {
    const [, bytes] = GLib.file_get_contents(`/proc/${pid}/stat`);
    const fields = new TextDecoder().decode(bytes).split(') ')[1].split(' ');
    return (Number(fields[11]) + Number(fields[12])) * 1000 / hz;
}
function moveCost() {
    const before = cpuMs();
    for (let i = 0; i < motions; i++)
        rd('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [i % 2 ? 3 : -3, i % 2 ? 2 : -2]));
    // One round trip through the shell's loop after the last motion.
    ext('State', null);
    return (cpuMs() - before) * 1000 / motions;
}

const size = 256;
const file = `${GLib.get_user_runtime_dir()}/bench-pointer.bgra`;
GLib.file_set_contents(file, new Uint8Array(size * size * 4).fill(128));
rd('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [600, 400]));
const hidden = moveCost();
ext('Show', new GLib.Variant('(siiiiiy)', [file, size, size, size * 4, 128, 128, 191]));
const shown = moveCost();
const restStart = cpuMs();
const loop = new GLib.MainLoop(null, false);
GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, rest, () => loop.quit());
loop.run();
const atRest = cpuMs() - restStart;
print(`GNOME Shell CPU per 1000 motions: picture hidden ${hidden.toFixed(0)} ms, shown ${shown.toFixed(0)} ms ` +
      `(${motions} motions); at rest with the picture shown: ${atRest.toFixed(0)} ms in ${rest} s`);
