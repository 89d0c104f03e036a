// The drill page: sends every click and key to the drill (WebAssembly, bindings.cpp) and draws
// what it reads back. All decisions are the drill's.
"use strict";

(function () {
  const UI_FONTS = '"Noto Sans CJK JP", "Hiragino Sans", "Hiragino Kaku Gothic ProN", Meiryo, "Yu Gothic", IPAexGothic, IPAGothic, sans-serif';
  const MINCHO_FONTS = '"Noto Serif CJK JP", "Hiragino Mincho ProN", "Yu Mincho", IPAexMincho, IPAMincho, serif';
  const BOOKMAN_FONTS = '"Bookman Old Style", "URW Bookman", "URW Bookman L", "Bookman", serif';
  const MARKS = ["", "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫"];
  const ANSWER_BOX = 16;
  let lineBoxes = 12;        // the drill's line boxes (its lineCapacity)
  const STORE = "kept";  // the page's IndexedDB store: "record", "set", "student"

  // The Windows faces the typesetting names, as the browser's fonts (no font is downloaded).
  function cssFont(face, px, bold, italic) {
    let family = UI_FONTS;
    if (face.indexOf("Bookman") >= 0) family = BOOKMAN_FONTS;
    else if (face.indexOf("明朝") >= 0) family = MINCHO_FONTS;
    return (italic ? "italic " : "") + (bold ? "bold " : "") + px + "px " + family;
  }

  // Widths by font and text: the typesetting asks for the same few pieces again and again.
  const measureContext = document.createElement("canvas").getContext("2d");
  const widths = new Map();
  function measureText(face, px, bold, italic, text) {
    const font = cssFont(face, px, bold, italic);
    const key = font + "\u0000" + text;
    let w = widths.get(key);
    if (w === undefined) {
      if (measureContext.font !== font) measureContext.font = font;
      w = Math.round(measureContext.measureText(text).width);
      widths.set(key, w);
    }
    return w;
  }

  // The page's elements by id, looked up once: render() asks for some thirty at every step.
  const elements = new Map();
  function $(id) {
    let e = elements.get(id);
    if (!e) {
      e = document.getElementById(id);
      if (e) elements.set(id, e);
    }
    return e;
  }
  let drill = null;
  let Key = null;  // the keypad's keys by name, from the module
  const drawn = {};          // box number -> version drawn
  const canvases = {};       // box number -> canvas
  let shownFocus = 0;
  let blinkTimer = null;
  let shownTarget = -1;
  let shownWritesLines = false;
  // 自分で計算する, kept for the next visit ("1"); the drill itself decides what it means.
  const WRITES_LINES = "solvari.writesLines";
  let hoverLine = -1;
  const notices = [];        // notices waiting to be shown, in order
  let restoreFocus = null;

  // ------------------------------------------------------------ drawing

  // The canvas's size only: its context is made when something is first drawn on it (paint).
  function prepareCanvas(canvas, width, height) {
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    canvas.style.aspectRatio = width + " / " + height;
  }

  function paint(canvas, width, height, ops) {
    const g = canvas.getContext("2d");
    const ratio = window.devicePixelRatio || 1;
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = "#fff";
    g.fillRect(0, 0, width, height);
    g.textBaseline = "top";
    g.lineWidth = 1;
    g.fillStyle = "#000";
    let font = "";
    for (const op of ops) {
      if (op[0] === "text") {
        const f = cssFont(op[4], op[5], op[6], op[7]);
        if (f !== font) g.font = font = f;
        g.fillText(op[3], op[1], op[2]);
      } else if (op[0] === "line") {
        g.strokeStyle = op[5];
        g.beginPath();
        g.moveTo(op[1] + 0.5, op[2] + 0.5);
        g.lineTo(op[3] + 0.5, op[4] + 0.5);
        g.stroke();
      } else if (op[0] === "rect") {
        g.strokeStyle = op[5];
        g.strokeRect(op[1] + 0.5, op[2] + 0.5, op[3] - op[1] - 1, op[4] - op[2] - 1);
      }
    }
  }

  function drawBox(n) {
    const v = drill.boxVersion(n);
    if (drawn[n] === v) return;
    const first = drawn[n] === undefined;
    drawn[n] = v;
    const ops = drill.boxOps(n);
    // A canvas never drawn on is clear over the box's white: an empty box stays so, and the
    // frame has one canvas less to send on.
    if (first && ops.length === 0) return;
    paint(canvases[n], drill.boxWidth(n), drill.boxHeight(n), ops);
  }

  // Only what changed is touched: every write makes the browser lay the page out again.
  function setText(id, text) {
    const e = $(id);
    if (e.textContent !== text) e.textContent = text;
  }
  function setDisabled(id, off) {
    const e = $(id);
    if (e.disabled !== off) e.disabled = off;
  }

  function render() {
    // The canvases first: a font set on a canvas brings the page's styles up to date, and they
    // should be worked out once, after every change below.
    for (let n = 1; n <= lineBoxes; n++) drawBox(n);
    drawBox(ANSWER_BOX);
    setText("pageCaption", drill.caption());
    setText("lblMess", drill.message());
    setText("pnlNumber", drill.display());
    setDisabled("btnJikkou", !drill.executeEnabled());
    const writesLines = drill.writesLines();
    if (writesLines !== shownWritesLines) {
      shownWritesLines = writesLines;
      $("btnWriteLines").setAttribute("aria-pressed", String(writesLines));
      document.querySelectorAll("[data-line-key]").forEach((b) => { b.hidden = !writesLines; });
      $("btnMiru").hidden = !writesLines;
    }
    const writing = drill.writing();
    document.querySelectorAll("[data-line-key]").forEach((b) => { if (b.disabled !== !writing) b.disabled = !writing; });
    setDisabled("btnMiru", !drill.lineOffered());
    setDisabled("btnNext", !drill.nextEnabled());
    const lines = drill.lineButtons();
    for (let n = 1; n <= 12; n++) setDisabled("btnShiki" + n, !(lines & (1 << n)));
    const letter = drill.letter();
    setText("btnMoji", letter);
    placeSolution();
    blink();
    const focusCount = drill.focusCount();
    if (focusCount !== shownFocus && $("modalLayer").hidden) {
      shownFocus = focusCount;
      moveFocusSoon();
    }
    if (drill.recordPending() > 0) storeRecord();
    // what the print shows: the lines written so far, and the answer once the question is done
    const target = drill.targetLine();
    if (target !== shownTarget) {
      shownTarget = target;
      for (let n = 1; n <= lineBoxes; n++) $("Image" + n).classList.toggle("unused", n > target);
    }
    document.body.classList.toggle("finished", drill.questionFinished());
  }

  // The drill's focus, given once the step is on screen: moving the focus makes the browser
  // bring its styles up to date, which need not delay the picture.
  let focusPending = false;
  function moveFocusSoon() {
    if (focusPending) return;
    focusPending = true;
    requestAnimationFrame(() => setTimeout(() => {
      focusPending = false;
      if (!$("modalLayer").hidden) return;
      const target = drill.focus() === "execute" ? $("btnJikkou") : drill.focus() === "next" ? $("btnNext") : null;
      if (target && !target.disabled && document.activeElement !== target) target.focus({ preventScroll: true });
    }, 0));
  }

  function placeSolution() {
    const kai = $("grbKai");
    const s = drill.solution();
    if (!s.visible) {
      if (!kai.hidden) kai.hidden = true;
      return;
    }
    const box = $("Image" + s.box);
    kai.hidden = false;
    const sheet = $("sheet").getBoundingClientRect();
    const r = box.getBoundingClientRect();
    kai.style.left = Math.round(r.left - sheet.left) + "px";
    kai.style.top = Math.round((s.below ? r.bottom + 3 : r.top) - sheet.top) + "px";
    setText("answerText", drill.answer());
    setText("checkText", drill.check());
  }

  function blink() {
    const next = $("btnNext");
    if (drill.blinking()) {
      if (!blinkTimer) blinkTimer = window.setInterval(() => { drill.blink(); render(); }, 1000);
      next.classList.toggle("blink-on", drill.nextPicture());
      next.classList.toggle("blink-off", !drill.nextPicture());
    } else {
      if (blinkTimer) window.clearInterval(blinkTimer);
      blinkTimer = null;
      if (next.classList.contains("blink-on") || next.classList.contains("blink-off")) next.classList.remove("blink-on", "blink-off");
    }
  }

  // ------------------------------------------------------------ commands and their boxes

  function send(command) {
    if (!drill || !$("modalLayer").hidden) return;
    restoreFocus = document.activeElement;
    command();
    afterCommand();
  }

  function afterCommand() {
    collectNotices();
    render();
    showModal();
  }

  // The drill's notices of the last command: each command's run starts a fresh list.
  function collectNotices() {
    for (const text of drill.notices()) notices.push(text);
  }

  // A notice of the page's own (storage, network); shown now unless a box is up, else after it.
  function tell(text) {
    notices.push(text);
    if ($("modalLayer").hidden) showModal();
  }

  function hideDialogs() {
    for (const id of ["noticeBox", "questionBox", "frmSentaku", "frmMondai", "frmKiroku", "frmExport", "confirmBox"]) $(id).hidden = true;
  }

  function openDialog(id, focusId) {
    hideDialogs();
    $("modalLayer").hidden = false;
    $(id).hidden = false;
    $(focusId).focus();
  }

  // Notices first, in order, then the question the drill waits for; the page again after.
  function showModal() {
    if (notices.length > 0) {
      const text = notices[0];
      const bar = text.indexOf("|");
      $("noticeCaption").textContent = bar >= 0 ? text.slice(0, bar) : "Solvari";
      $("noticeText").textContent = bar >= 0 ? text.slice(bar + 1) : text;
      openDialog("noticeBox", "noticeOk");
      return;
    }
    const q = drill.pending();
    if (q && q.kind === "yesno") {
      $("questionCaption").textContent = q.caption;
      $("questionText").textContent = q.text;
      openDialog("questionBox", "questionYes");
    } else if (q && q.kind === "special") {
      openDialog("frmSentaku", "btnMusu");
    } else if (q && q.kind === "unit") {
      openUnitWindow();
    } else if (!$("modalLayer").hidden) {
      hideDialogs();
      $("modalLayer").hidden = true;
      render();
      const focus = drill.focus() === "execute" ? $("btnJikkou") : drill.focus() === "next" ? $("btnNext") : restoreFocus;
      if (focus && !focus.disabled && focus.focus) focus.focus({ preventScroll: true });
    }
  }

  function answered(call) {
    hideDialogs();
    call();
    afterCommand();
  }

  // ------------------------------------------------------------ the unit window

  let shownUnit = 1;
  let markedQuestion = 1;

  function openUnitWindow() {
    showSetName();
    shownUnit = drill.currentUnit();
    markedQuestion = drill.currentQuestion(shownUnit);
    const list = $("lstTangen");
    list.textContent = "";
    drill.unitTitles().forEach((title, i) => {
      const row = document.createElement("button");
      row.type = "button";
      row.setAttribute("role", "option");
      row.textContent = title;
      row.addEventListener("click", () => {
        shownUnit = i + 1;
        markedQuestion = drill.currentQuestion(shownUnit);
        drawUnit();
      });
      list.appendChild(row);
    });
    openDialog("frmMondai", "btnOK");
    drawUnit();
  }

  function drawUnit() {
    const titles = drill.unitTitles();
    $("lblMidashi").textContent = titles[shownUnit - 1] || "";
    Array.from($("lstTangen").children).forEach((row, i) => row.setAttribute("aria-selected", String(i + 1 === shownUnit)));
    const holder = $("mondaiList");
    holder.textContent = "";
    for (let q = 1; q <= drill.questionCount(shownUnit); q++) {
      const item = document.createElement("div");
      item.className = "mondai-q" + (q === markedQuestion ? " marked" : "");
      const mark = document.createElement("span");
      mark.className = "mark";
      const canvas = document.createElement("canvas");
      canvas.setAttribute("aria-hidden", "true");
      prepareCanvas(canvas, 297, 75);
      paint(canvas, 297, 75, drill.preview(shownUnit, q));
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = MARKS[q];
      button.setAttribute("aria-label", "問題" + q);
      button.setAttribute("aria-pressed", String(q === markedQuestion));
      const choose = () => { markedQuestion = q; drawUnit(); };
      canvas.addEventListener("click", choose);
      button.addEventListener("click", choose);
      item.append(mark, canvas, button);
      holder.appendChild(item);
    }
  }

  // ------------------------------------------------------------ the record viewer

  // The record as storage holds it now (another tab of the drill may have written to it), then
  // the viewer.
  function openRecords(onTopOfUnitWindow) {
    $("recordStatus").textContent = "";
    showRecords(onTopOfUnitWindow);
    readKept("record").then((kept) => {
      if (!kept || $("frmKiroku").hidden) return;
      drill.adoptRecord(kept.bytes);
      listRecords();
    });
  }

  function listRecords() {
    const list = $("lstTitle");
    list.textContent = "";
    for (const row of drill.recordRows()) {
      const li = document.createElement("li");
      li.textContent = row;
      list.appendChild(li);
    }
    $("recordKept").textContent = store ? "記録はこの端末のブラウザーの中に保存しています。"
      : "この端末には記録を保存できません。ページを閉じると消えるので、「記録を書き出す」で保存してください。";
  }

  function showRecords(onTopOfUnitWindow) {
    listRecords();
    if (!onTopOfUnitWindow) hideDialogs();
    $("modalLayer").hidden = false;
    $("frmKiroku").hidden = false;
    $("frmKiroku").dataset.over = onTopOfUnitWindow ? "unit" : "";
    $("btnKirokuClose").focus();
  }

  function closeRecords() {
    $("frmKiroku").hidden = true;
    if ($("frmKiroku").dataset.over === "unit") {
      $("btnOK").focus();
      return;
    }
    showModal();
  }

  // ------------------------------------------------------------ kept on the device

  // IndexedDB: the record (its Shift-JIS bytes, as Miradosh.rec holds them), the teacher's set
  // last opened, the student's name for exports. Each is one value written in one transaction,
  // so a stored record is the whole of one version or the one before. null: nothing can be kept.
  // index.html opens it (solvariEarly.kept) before the page is laid out.
  let store = null;
  let toldNotKept = false;
  let writing = false;
  let recordGeneration = 0;  // a record taken in replaces whatever a write under way brings back
  let setInUse = "";         // the teacher's set's file name, "" for the bundled set

  function readKept(key) {
    return new Promise((resolve) => {
      if (!store) return resolve(undefined);
      try {
        const read = store.transaction(STORE, "readonly").objectStore(STORE).get(key);
        read.onsuccess = () => resolve(read.result);
        read.onerror = () => resolve(undefined);
      } catch (e) {
        resolve(undefined);
      }
    });
  }

  // One value, in a transaction of its own; resolves whether it was written.
  function keep(key, value) {
    return new Promise((resolve) => {
      if (!store) return resolve(false);
      if (value !== undefined && key !== "student") markKept();
      try {
        const tx = store.transaction(STORE, "readwrite", { durability: "strict" });
        if (value === undefined) tx.objectStore(STORE).delete(key);
        else tx.objectStore(STORE).put(value, key);
        tx.oncomplete = () => resolve(true);
        tx.onabort = () => { notKept(); resolve(false); };
      } catch (e) {
        notKept();
        resolve(false);
      }
    });
  }

  // The finishes not yet stored, applied to the record storage holds at that moment, in the
  // same transaction: another tab's finishes are kept, and so are ours.
  function storeRecord() {
    if (!store || writing || drill.recordPending() === 0) return;
    markKept();
    writing = true;
    const generation = recordGeneration;
    let stored = null;
    let count = 0;
    let tx;
    try {
      tx = store.transaction(STORE, "readwrite", { durability: "strict" });
    } catch (e) {
      writing = false;
      notKept();
      return;
    }
    const kept = tx.objectStore(STORE);
    const read = kept.get("record");
    read.onsuccess = () => {
      const before = read.result && read.result.bytes instanceof Uint8Array ? read.result.bytes : new Uint8Array(0);
      count = drill.recordPending();
      stored = drill.recordWithPending(before);
      kept.put({ bytes: stored }, "record");
    };
    tx.oncomplete = () => {
      writing = false;
      if (generation === recordGeneration) drill.recordWritten(stored, count);
      storeRecord();
    };
    tx.onabort = () => {
      writing = false;  // the finishes stay pending: the next finish tries again
      notKept();
    };
  }

  // localStorage remembers whether the store may hold a record or a set ("some", from before the
  // first is written) or holds neither ("none", as read at a start): a drill that has nothing
  // kept need not wait for IndexedDB, whose first opening on a browser is slow, before question 1.
  const KEPT_MARK = "solvari.kept";
  function markKept() {
    try { window.localStorage.setItem(KEPT_MARK, "some"); } catch (e) { /* the store is waited for */ }
  }
  function nothingKept() {
    try {
      const mark = window.localStorage.getItem(KEPT_MARK);
      if (mark !== null) return mark === "none";
      // Never marked: nothing kept on a browser where the drill has not run before (no service
      // worker of it controls the page, no notice about http was told).
      return !(navigator.serviceWorker && navigator.serviceWorker.controller) &&
        window.localStorage.getItem("solvari.insecureTold") === null;
    } catch (e) {
      return false;
    }
  }

  function notKept() {
    if (toldNotKept) return;
    toldNotKept = true;
    tell("練習の記録|この端末のブラウザーに練習の記録を保存できません（保存が許されていないか、空きがありません）。" +
      "練習はそのまま続けられますが、記録はこのページを閉じると消えます。残すときは「練習の記録」の「記録を書き出す」で保存してください。");
  }

  // ------------------------------------------------------------ 記録を書き出す / 記録を読み込む

  function swapDialog(from, to, focusId) {
    $(from).hidden = true;
    $(to).hidden = false;
    $(focusId).focus();
  }

  function openExport() {
    $("exportError").textContent = "";
    swapDialog("frmKiroku", "frmExport", "edtStudent");
  }

  async function exportRecord() {
    const entered = $("edtStudent").value;
    const fileName = drill.recordFileName(entered);
    if (!fileName) {
      $("exportError").textContent = "その名前は記録のファイル名に使えません（/ \\ : * ? \" < > | や . で始まる名前、30文字を超える名前は使えません）。";
      $("edtStudent").focus();
      return;
    }
    const kept = await readKept("record");
    if (kept) drill.adoptRecord(kept.bytes);
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([drill.recordBytes()], { type: "application/octet-stream" }));
    link.download = fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    keep("student", entered.trim());
    swapDialog("frmExport", "frmKiroku", "btnKirokuClose");
    listRecords();
    $("recordStatus").textContent = "「" + fileName + "」を書き出しました。";
  }

  let confirmed = null;
  function confirmFromRecords(caption, text, yes) {
    confirmed = yes;
    $("confirmCaption").textContent = caption;
    $("confirmText").textContent = text;
    swapDialog("frmKiroku", "confirmBox", "confirmNo");
  }

  async function importRecord(file) {
    const bytes = new Uint8Array(await file.slice(0, drill.recordByteLimit()).arrayBuffer());
    const problem = drill.recordProblem(bytes);
    if (problem) {
      $("recordStatus").textContent = "「" + file.name + "」は読み込めません: " + problem + "。この端末の記録はそのままです。";
      return;
    }
    confirmFromRecords("記録を読み込む", "この端末の練習の記録を「" + file.name + "」の記録で置き換えます。いまの記録は消えます。よろしいですか", async () => {
      recordGeneration++;
      if (store && !(await keep("record", { bytes }))) {
        $("recordStatus").textContent = "記録を保存できないので、読み込みませんでした。この端末の記録はそのままです。";
        return;
      }
      drill.replaceRecord(bytes);
      listRecords();
      $("recordStatus").textContent = "「" + file.name + "」の記録を読み込みました。";
    });
  }

  // ------------------------------------------------------------ the teacher's sets

  function showSetName() {
    setText("setName", "問題集: " + (setInUse || "同梱の問題集"));
    setDisabled("btnBundledSet", !setInUse);
  }

  async function openSetFile(file) {
    const bytes = new Uint8Array(await file.slice(0, drill.setByteLimit()).arrayBuffer());
    hideDialogs();
    if (drill.openSet(bytes, file.name)) {
      setInUse = file.name;
      keep("set", { name: file.name, bytes });
    }
    afterCommand();
  }

  function useBundledSet() {
    hideDialogs();
    drill.start();
    setInUse = "";
    keep("set", undefined);
    afterCommand();
  }

  // ./?set=NAME.leq: the set beside the site. Without a network, a copy kept from an earlier
  // visit is used quietly.
  async function openSiteSet(name, keptSet) {
    if (!drill.plainSetName(name)) {
      drill.refuseSet(name, "name");
      return collectNotices();
    }
    let response;
    try {
      response = await fetch(encodeURIComponent(name), { cache: "no-cache" });
    } catch (e) {
      if (!(keptSet && keptSet.name === name)) drill.refuseSet(name, "unreachable");
      return collectNotices();
    }
    if (!response.ok) {
      drill.refuseSet(name, "missing");
      return collectNotices();
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    if (drill.openSet(bytes, name)) {
      setInUse = name;
      keep("set", { name, bytes });
    }
    collectNotices();
  }

  // ------------------------------------------------------------ offline and printing

  function registerWorker() {
    if (!window.isSecureContext) {
      // Service workers need https (or localhost): say so once on this browser.
      let told = false;
      try { told = window.localStorage.getItem("solvari.insecureTold") === "1"; } catch (e) { /* no storage */ }
      if (!told) {
        notices.push("オフライン|このページは https ではない接続で開かれているため、ネットワークが切れると使えません" +
          "（オフラインでの練習とホーム画面への追加ができません）。");
        try { window.localStorage.setItem("solvari.insecureTold", "1"); } catch (e) { /* told again next time */ }
      }
      return;
    }
    // The worker fetches every file of the site once more to keep it for offline use: only after
    // question 1 is on screen, so the first visit does not wait for that.
    if ("serviceWorker" in navigator) {
      requestAnimationFrame(() => setTimeout(() => {
        navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).catch(() => {});
      }, 0));
    }
  }

  function printDate() {
    const d = new Date();
    const two = (n) => String(n).padStart(2, "0");
    setText("printDate", d.getFullYear() + "." + two(d.getMonth() + 1) + "." + two(d.getDate()));
  }

  // ------------------------------------------------------------ building the page

  function buildPage(boxWidth) {
    const lines = $("lineButtons");
    for (let n = 1; n <= 12; n++) {
      const b = document.createElement("button");
      b.type = "button";
      b.id = "btnShiki" + n;
      b.textContent = MARKS[n];
      b.setAttribute("aria-label", "式" + MARKS[n]);
      if (n === 1) b.title = "①式";
      b.addEventListener("click", () => send(() => drill.selectLine(n)));
      lines.appendChild(b);
    }
    const half = 6;
    for (let n = 1; n <= 12; n++) {
      const box = document.createElement("div");
      box.className = "box";
      box.id = "Image" + n;
      box.setAttribute("role", "button");
      box.setAttribute("aria-label", MARKS[n] + "の式の行");
      const canvas = document.createElement("canvas");
      prepareCanvas(canvas, boxWidth, 75);
      canvases[n] = canvas;
      box.appendChild(canvas);
      box.addEventListener("click", () => send(() => drill.selectLine(n)));
      box.addEventListener("mousemove", (e) => { e.stopPropagation(); hover(n); });
      $(n <= half ? "column1" : "column2").appendChild(box);
    }
    document.documentElement.style.setProperty("--box-px", String(boxWidth));
    canvases[ANSWER_BOX] = $("Image16");
    prepareCanvas($("Image16"), 272, 76);
    $("sheet").addEventListener("mousemove", () => hover(0));
    $("frmPage").addEventListener("mouseleave", () => hover(0));
  }

  function hover(n) {
    if (!drill || n === hoverLine || !$("modalLayer").hidden) return;
    hoverLine = n;
    drill.hover(n);
    render();
  }

  function wireControls() {
    document.querySelectorAll("[data-op]").forEach((b) => b.addEventListener("click", () => send(() => drill.operation(b.dataset.op))));
    document.querySelectorAll(".key[data-key]").forEach((b) => b.addEventListener("click", () => send(() => drill.keypad(Key[b.dataset.key]))));
    $("btnMinus").addEventListener("click", () => send(() => drill.minus()));
    $("btnJikkou").addEventListener("click", () => send(() => drill.execute()));
    $("btnTeisei").addEventListener("click", () => send(() => drill.correct()));
    $("btnHint").addEventListener("click", () => send(() => drill.hint()));
    document.querySelectorAll("[data-line-key]").forEach((b) => b.addEventListener("click", () => send(() => drill.lineKey(b.dataset.lineKey))));
    $("btnMiru").addEventListener("click", () => send(() => drill.showLine()));
    $("btnWriteLines").addEventListener("click", () => send(() => {
      drill.setWritesLines(!drill.writesLines());
      try { window.localStorage.setItem(WRITES_LINES, drill.writesLines() ? "1" : "0"); } catch (e) { /* this run only */ }
    }));
    $("btnNext").addEventListener("click", () => send(() => drill.next()));
    $("btnChangeTangen").addEventListener("click", () => send(() => drill.chooseUnit()));
    $("btnRecord").addEventListener("click", () => { if ($("modalLayer").hidden) openRecords(false); });
    $("grbKai").addEventListener("click", () => send(() => drill.next()));

    $("noticeOk").addEventListener("click", () => { notices.shift(); showModal(); });
    $("questionYes").addEventListener("click", () => answered(() => drill.answerYes(true)));
    $("questionNo").addEventListener("click", () => answered(() => drill.answerYes(false)));
    $("btnMusu").addEventListener("click", () => answered(() => drill.answerSpecial(8)));
    $("btnKainashi").addEventListener("click", () => answered(() => drill.answerSpecial(3)));
    $("sentakuClose").addEventListener("click", () => answered(() => drill.answerSpecial(2)));
    $("btnOK").addEventListener("click", () => answered(() => drill.answerUnit(true, shownUnit, markedQuestion)));
    $("btnCancel").addEventListener("click", () => answered(() => drill.answerUnit(false, 0, 0)));
    $("btnShowRecord").addEventListener("click", () => openRecords(true));
    $("btnKirokuClose").addEventListener("click", closeRecords);
    $("btnExport").addEventListener("click", openExport);
    $("btnExportSave").addEventListener("click", exportRecord);
    $("edtStudent").addEventListener("keydown", (e) => { if (e.key === "Enter") { e.preventDefault(); exportRecord(); } });
    $("btnExportCancel").addEventListener("click", () => swapDialog("frmExport", "frmKiroku", "btnKirokuClose"));
    $("btnImport").addEventListener("click", () => { $("recordFile").value = ""; $("recordFile").click(); });
    $("recordFile").addEventListener("change", () => { if ($("recordFile").files[0]) importRecord($("recordFile").files[0]); });
    $("confirmYes").addEventListener("click", () => {
      const yes = confirmed;
      confirmed = null;
      swapDialog("confirmBox", "frmKiroku", "btnKirokuClose");
      if (yes) yes();
    });
    $("confirmNo").addEventListener("click", () => { confirmed = null; swapDialog("confirmBox", "frmKiroku", "btnKirokuClose"); });
    $("btnOpenSet").addEventListener("click", () => { $("setFile").value = ""; $("setFile").click(); });
    $("setFile").addEventListener("change", () => { if ($("setFile").files[0]) openSetFile($("setFile").files[0]); });
    $("btnBundledSet").addEventListener("click", useBundledSet);
    window.addEventListener("beforeprint", printDate);

    document.addEventListener("keydown", onKey);
    window.addEventListener("resize", () => { if (drill) placeSolution(); });
  }

  // The desktop's keys: FormKeyDown with the key code and Shift, then FormKeyPress with the
  // character. A box that is up takes Enter and Escape itself.
  function onKey(e) {
    if (!drill) return;
    if (!$("modalLayer").hidden) {
      if (e.key === "Escape") {
        e.preventDefault();
        if (!$("frmExport").hidden) $("btnExportCancel").click();
        else if (!$("confirmBox").hidden) $("confirmNo").click();
        else if (!$("frmKiroku").hidden) closeRecords();
        else if (!$("questionBox").hidden) $("questionNo").click();
        else if (!$("frmSentaku").hidden) $("sentakuClose").click();
        else if (!$("frmMondai").hidden) $("btnCancel").click();
        else if (!$("noticeBox").hidden) $("noticeOk").click();
      } else if (!$("frmSentaku").hidden && e.altKey && (e.key === "a" || e.key === "A")) {
        e.preventDefault();
        $("btnMusu").click();
      } else if (!$("frmSentaku").hidden && e.altKey && (e.key === "b" || e.key === "B")) {
        e.preventDefault();
        $("btnKainashi").click();
      }
      return;
    }
    if (e.ctrlKey || e.metaKey || e.altKey || e.isComposing) return;
    const isChar = e.key.length === 1 && e.key !== " ";
    if (e.key === "Enter" || e.key === "Escape" || e.key === "Delete" || e.key === "Backspace" || isChar) e.preventDefault();
    send(() => {
      drill.keyDown(e.keyCode, e.shiftKey);
      if (isChar) drill.keyPress(e.key.charCodeAt(0));
    });
  }

  // ------------------------------------------------------------ start

  function columnWidth() {
    const w = $("column1").getBoundingClientRect().width;
    return Math.max(240, Math.min(640, Math.floor(w)));
  }

  performance.mark("solvari-script");
  wireControls();
  // The first layout of the page (fonts, the panel) done now, while the module is still being
  // compiled and started, not after it.
  const firstWidth = columnWidth();
  const started = performance.now();
  const early = window.solvariEarly;
  // The module's code, compiled already while the page was laid out (index.html).
  function instantiateWasm(imports, receive) {
    early.code.then((code) => WebAssembly.instantiate(code, imports)).then((instance) => receive(instance), (e) => {
      console.error("solvari.wasm: " + e);
    });
    return {};
  }
  const moduleReady = createSolvari({ measureText, instantiateWasm }).then((module) => {
    performance.mark("solvari-module");
    return module;
  });
  // What storage held at the start: taken before question 1 is set, or after it when nothing was
  // known to be kept (a record or set found then all the same is taken at once).
  function takeKept(kept, late) {
    store = kept.store;
    const record = kept.record && kept.record.bytes instanceof Uint8Array ? kept.record.bytes : null;
    const set = kept.set && kept.set.bytes instanceof Uint8Array ? kept.set : null;
    if (store) {
      if (record || set) markKept();
      else {
        try { if (window.localStorage.getItem(KEPT_MARK) === null) window.localStorage.setItem(KEPT_MARK, "none"); } catch (e) { /* asked again */ }
      }
    }
    if (record) drill.adoptRecord(record);
    if (late) {
      storeReady();
      storeRecord();
      // unless the student has moved on meanwhile (a box is up, or another set is open)
      if (set && !setInUse && $("modalLayer").hidden) {
        if (drill.openSet(set.bytes, set.name)) setInUse = set.name;
        showSetName();
        afterCommand();
      }
    }
    return set;
  }

  function storeReady() {
    if (store) {
      if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
      readKept("student").then((name) => { if (typeof name === "string") $("edtStudent").value = name; });
    } else {
      notKept();
    }
  }

  // The page is built, question 1 set and drawn in one go once the module (and what is kept) is
  // there: no frame is spent on empty boxes in between.
  const wanted = new URLSearchParams(window.location.search).get("set");
  const waitForKept = wanted !== null || !nothingKept();
  Promise.all([moduleReady, waitForKept ? early.kept : null]).then(async ([module, kept]) => {
    Key = module.Key;
    const width = firstWidth;
    buildPage(width);
    drill = new module.Drill(width);
    lineBoxes = drill.lineCapacity();
    try { drill.setWritesLines(window.localStorage.getItem(WRITES_LINES) === "1"); } catch (e) { /* off */ }
    const keptSet = kept ? takeKept(kept, false) : null;
    drill.start();
    collectNotices();
    if (keptSet && drill.openSet(keptSet.bytes, keptSet.name)) setInUse = keptSet.name;
    collectNotices();
    if (wanted !== null) await openSiteSet(wanted, keptSet);
    showSetName();
    printDate();
    performance.mark("solvari-started");
    if (kept) storeReady();
    else early.kept.then((late) => takeKept(late, true));
    registerWorker();
    afterCommand();
    $("app").setAttribute("aria-busy", "false");
    window.solvariReady = { ms: performance.now() - started };
    document.dispatchEvent(new CustomEvent("solvari-ready"));
    // question 1 on screen: the frame after it was drawn (the benchmark reads this mark)
    requestAnimationFrame(() => setTimeout(() => performance.mark("solvari-painted"), 0));
  });
})();
