// host.Run starts Linux programs from under Wine: waits for them, returns
// their exit code, hands the command line to /bin/sh intact, and can play a
// sound into the virtual microphone with paplay (the end-to-end tests' need).
host.Assert(host.Run("/bin/sh -c 'exit 5'", true) == 5, "exit code of a Linux program");
host.Assert(host.Run("/bin/true", true) == 0, "exit code 0");

var out = "/tmp/nelohost_run_" + Math.floor(host.Now() * 1000) + ".txt";
// Quotes, spaces and a redirection survive the trip.
var code = host.Run("/usr/bin/printf '%s|' \"a b\" c > " + out, true);
host.Assert(code == 0, "printf exit code " + code);
host.Assert(host.ReadFileHex(out, 0, 100) == "6120627C637C", "printf wrote " + host.ReadFileHex(out, 0, 100));
host.DeleteFile(out);

// A command that is not waited for still runs; poll for its file.
host.Run("/bin/sh -c 'echo x > " + out + "'", false);
var start = host.Now();
while (!host.FileExists(out) && host.Now() - start < 30000) host.Sleep(20);
host.Assert(host.FileExists(out), "the unwaited command ran");
host.DeleteFile(out);

// 0.2 s of 16 kHz mono 16-bit silence, played into the virtual microphone.
var wav = "/tmp/nelohost_run_" + Math.floor(host.Now() * 1000) + ".wav";
var samples = "";
for (var i = 0; i < 3200; i++) samples += "0000";
host.WriteFileHex(wav, "52494646" + "24190000" + "57415645" + "666D7420" + "10000000" + "0100" + "0100" +
                       "803E0000" + "007D0000" + "0200" + "1000" + "64617461" + "00190000" + samples);
var paplay = host.Run("/usr/bin/paplay --device=micsink " + wav, true);
host.DeleteFile(wav);
host.Assert(paplay == 0, "paplay into micsink exited with " + paplay);
host.Echo("run_linux.js ok");
