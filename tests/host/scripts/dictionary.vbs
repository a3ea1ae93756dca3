' A registered object without events, created by ProgID: method calls and
' properties pass through the host's item unchanged.
ctrl.Add "a", 1
ctrl.Add "b", "two"
host.Assert ctrl.Count = 2, "Count after two Add calls"
host.Assert ctrl.Item("b") = "two", "Item by key"
host.Assert ctrl.Exists("a"), "Exists"
host.Echo "dictionary.vbs ok"
