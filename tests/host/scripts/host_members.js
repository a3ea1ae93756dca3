// The "host" item's members, from JScript (no control).
function hexOf(text) {
    var out = "";
    for (var i = 0; i < text.length; i++) out += ("0" + text.charCodeAt(i).toString(16).toUpperCase()).slice(-2);
    return out;
}

// Now is monotonic and Sleep waits at least as long as asked.
var t0 = host.Now();
host.Sleep(50);
var t1 = host.Now();
host.Assert(t1 - t0 >= 49, "Sleep(50) returned after " + (t1 - t0) + " ms");
host.Assert(host.Now() >= t1, "Now never goes back");

// No script arguments here.
host.Assert(host.ArgCount() == 0, "ArgCount");
host.Assert(new VBArray(host.Arguments()).toArray().length == 0, "Arguments is an empty array");

// Env reads the process environment; unknown names give "".
host.Assert(host.Env("SystemRoot").length > 0, "SystemRoot is set under Windows and Wine");
host.Assert(host.Env("NELO_HOST_SURELY_UNSET_VARIABLE") === "", "an unset variable reads as empty");

// Files: write, inspect, read back ranges, delete.
var dir = host.Env("TEMP");
var path = dir + "\\nelohost_members_" + Math.floor(host.Now()) + ".txt";
host.WriteTextFile(path, "ab\u00e9");                 // é is two bytes in UTF-8
host.Assert(host.FileExists(path), "FileExists after WriteTextFile");
host.Assert(host.FileSize(path) == 4, "UTF-8 size, got " + host.FileSize(path));
host.Assert(host.ReadFileHex(path, 0, 100) == "6162C3A9", "whole file, got " + host.ReadFileHex(path, 0, 100));
host.Assert(host.ReadFileHex(path, 1, 2) == "62C3", "a middle range");
host.Assert(host.ReadFileHex(path, 4, 10) == "", "nothing past the end");
host.WriteFileHex(path, "00ff10");
host.Assert(host.ReadFileHex(path, 0, 10) == "00FF10", "WriteFileHex replaces the content");
host.Assert(host.DeleteFile(path) === true, "DeleteFile");
host.Assert(!host.FileExists(path) && host.FileSize(path) == -1, "gone after DeleteFile");
host.Assert(host.DeleteFile(path) === false, "deleting again reports false");
host.Assert(!host.FileExists(dir), "a folder is not a file");

// Bad input is refused with a script error that try/catch can see.
var refused = 0;
var bad = [
    function () { host.Sleep(-1); },
    function () { host.ReadFileHex(path, 0, 4); },        // missing file
    function () { host.WriteFileHex(path, "abc"); },      // odd length
    function () { host.WriteFileHex(path, "zz"); },
    function () { host.Arg(0); },                         // no such argument
    function () { host.Run("", true); },
];
for (var i = 0; i < bad.length; i++) {
    try { bad[i](); } catch (e) { refused++; }
}
host.Assert(refused == bad.length, "every bad call refused, " + refused + " of " + bad.length);
host.Assert(!host.FileExists(path), "a refused WriteFileHex writes nothing");

// Run: a Windows program, its exit code when waiting.
host.Assert(host.Run("cmd.exe /c exit 3", true) == 3, "exit code of a waited Windows program");
host.Assert(host.Run("cmd.exe /c exit 3", false) == 0, "not waiting returns 0");
host.Echo("host_members.js ok");
