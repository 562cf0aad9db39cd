// Drives the extension as the program does and measures the shell: CPU of
// its process per 1000 pointer motions with the picture hidden and shown,
// and at rest both ways (its /proc stat, in ticks of 10 ms). Run by bench/gnome-bench inside a headless shell
// whose start-up is over.
// Usage: gjs gnome-motion.js SHELL_PID MOTIONS REST_SECONDS
const {Gio, GLib} = imports.gi;
const [pid, motions, rest] = ARGV.map(Number);
const bus = Gio.DBus.session;
const call = (dest, path, iface, method, args) =>
    bus.call_sync(dest, path, iface, method, args, null, 0, 5000, null);
const ext = (method, args) => call('example.lumicue.Shell', '/example/lumicue/Shell', 'example.lumicue.Shell', method, args);
const loop = new GLib.MainLoop(null, false);

// The shell has started in the Overview: leave it, woken by the property's
// change signal.
const shell = ['org.gnome.Shell', '/org/gnome/Shell', 'org.freedesktop.DBus.Properties'];
const overview = () => call(...shell, 'Get', new GLib.Variant('(ss)', ['org.gnome.Shell', 'OverviewActive']))
    .deepUnpack()[0].deepUnpack();
const watch = bus.signal_subscribe('org.gnome.Shell', shell[2], 'PropertiesChanged', shell[1], null,
    Gio.DBusSignalFlags.NONE, () => {
        if (!overview())
            loop.quit();
    });
call(...shell, 'Set', new GLib.Variant('(ssv)', ['org.gnome.Shell', 'OverviewActive', new GLib.Variant('b', false)]));
if (overview())
    loop.run();
bus.signal_unsubscribe(watch);

const RD = 'org.gnome.Mutter.RemoteDesktop';
const [session] = call(RD, '/org/gnome/Mutter/RemoteDesktop', RD, 'CreateSession', null).deepUnpack();
const rd = (method, args) => call(RD, session, `${RD}.Session`, method, args);
rd('Start', null);

const hz = 100;
function cpuMs() {
    const [, bytes] = GLib.file_get_contents(`/proc/${pid}/stat`);
    const fields = new TextDecoder().decode(bytes).split(') ')[1].split(' ');
    return (Number(fields[11]) + Number(fields[12])) * 1000 / hz;
}
const moves = () => ext('State', null).deepUnpack()[5];
// Each motion is a call the shell has taken when it returns; the closing
// State call queues behind the motions' processing in the shell's loop.
function moveCost() {
    const before = cpuMs();
    for (let i = 0; i < motions; i++)
        rd('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [i % 2 ? 3 : -3, i % 2 ? 2 : -2]));
    ext('State', null);
    return (cpuMs() - before) * 1000 / motions;
}
function restCost() {
    const before = cpuMs();
    GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, rest, () => {
        loop.quit();
        return GLib.SOURCE_REMOVE;
    });
    loop.run();
    return cpuMs() - before;
}

// Hidden and shown passes alternate, so that the shell's own background
// work (and a busy machine) weighs on both alike; medians are printed.
const rounds = 5;
const median = values => values.sort((x, y) => x - y)[values.length >> 1];
const size = 256;
const file = `${GLib.get_user_runtime_dir()}/bench-pointer.bgra`;
GLib.file_set_contents(file, new Uint8Array(size * size * 4).fill(128));
const show = () => ext('Show', new GLib.Variant('(siiiiiy)', [file, size, size, size * 4, 128, 128, 191]));
rd('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [600, 400]));
const hidden = [], shown = [];
let followed = 0;
for (let r = 0; r < rounds; r++) {
    ext('Hide', null);
    hidden.push(moveCost());
    show();
    const movesBefore = moves();
    shown.push(moveCost());
    followed += moves() - movesBefore;
}
ext('Hide', null);
const restHidden = restCost();
show();
const restShown = restCost();
const fmt = values => `${median(values).toFixed(0)} ms (${values.map(v => v.toFixed(0)).join(' ')})`;
print(`GNOME Shell CPU per 1000 motions, median of ${rounds} alternating passes of ${motions}: ` +
      `picture hidden ${fmt(hidden)}, shown ${fmt(shown)}; the picture moved ${followed} times for ` +
      `${rounds * motions} motions. At rest: hidden ${restHidden.toFixed(0)} ms, shown ${restShown.toFixed(0)} ms ` +
      `in ${rest} s`);
