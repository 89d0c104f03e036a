// The drill page: sends every click and key to the drill (WebAssembly, bindings.cpp) and draws
// what it reads back. All decisions are the drill's.
"use strict";

(function () {
  const UI_FONTS = '"Noto Sans CJK JP", "Hiragino Sans", "Hiragino Kaku Gothic ProN", Meiryo, "Yu Gothic", sans-serif';
  const MINCHO_FONTS = '"Noto Serif CJK JP", "Hiragino Mincho ProN", "Yu Mincho", serif';
  const BOOKMAN_FONTS = '"Bookman Old Style", "URW Bookman", "URW Bookman L", "Bookman", serif';
  const MARKS = ["", "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫"];
  const ANSWER_BOX = 16;
  const RECORD_KEY = "solvari.records";

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

  const $ = (id) => document.getElementById(id);
  let drill = null;
  let Key = null;  // the keypad's keys by name, from the module
  const drawn = {};          // box number -> version drawn
  const canvases = {};       // box number -> canvas
  let shownFocus = 0;
  let blinkTimer = null;
  let savedRecords = -1;
  let hoverLine = -1;
  const notices = [];        // notices waiting to be shown, in order
  let restoreFocus = null;

  // ------------------------------------------------------------ drawing

  function prepareCanvas(canvas, width, height) {
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    canvas.style.aspectRatio = width + " / " + height;
    const g = canvas.getContext("2d");
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    return g;
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
    drawn[n] = v;
    paint(canvases[n], drill.boxWidth(n), drill.boxHeight(n), drill.boxOps(n));
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
    setText("pageCaption", drill.caption());
    setText("lblMess", drill.message());
    setText("pnlNumber", drill.display());
    setDisabled("btnJikkou", !drill.executeEnabled());
    setDisabled("btnNext", !drill.nextEnabled());
    const lines = drill.lineButtons();
    for (let n = 1; n <= 12; n++) setDisabled("btnShiki" + n, !(lines & (1 << n)));
    const letter = drill.letter();
    setText("btnMoji", letter);
    for (let n = 1; n <= drill.lineCapacity(); n++) drawBox(n);
    drawBox(ANSWER_BOX);
    placeSolution();
    blink();
    if (drill.focusCount() !== shownFocus && $("modalLayer").hidden) {
      shownFocus = drill.focusCount();
      moveFocusSoon();
    }
    if (drill.recordVersion() !== savedRecords) {
      savedRecords = drill.recordVersion();
      try { window.localStorage.setItem(RECORD_KEY, drill.recordText()); } catch (e) { /* storage refused: kept for this visit */ }
    }
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
    for (const text of drill.notices()) notices.push(text);
    render();
    showModal();
  }

  function hideDialogs() {
    for (const id of ["noticeBox", "questionBox", "frmSentaku", "frmMondai", "frmKiroku"]) $(id).hidden = true;
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
    if (q && (q.kind === "yesno" || q.kind === "yesnocancel")) {
      $("questionCaption").textContent = q.caption;
      $("questionText").textContent = q.text;
      $("questionCancel").hidden = q.kind !== "yesnocancel";
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

  function openRecords(onTopOfUnitWindow) {
    const list = $("lstTitle");
    list.textContent = "";
    for (const row of drill.recordRows()) {
      const li = document.createElement("li");
      li.textContent = row;
      list.appendChild(li);
    }
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
    $("btnNext").addEventListener("click", () => send(() => drill.next()));
    $("btnChangeTangen").addEventListener("click", () => send(() => drill.chooseUnit()));
    $("btnRecord").addEventListener("click", () => { if ($("modalLayer").hidden) openRecords(false); });
    $("grbKai").addEventListener("click", () => send(() => drill.next()));

    $("noticeOk").addEventListener("click", () => { notices.shift(); showModal(); });
    $("questionYes").addEventListener("click", () => answered(() => drill.answerYes(true)));
    $("questionNo").addEventListener("click", () => answered(() => drill.answerYes(false)));
    $("questionCancel").addEventListener("click", () => answered(() => drill.answerCancel()));
    $("btnMusu").addEventListener("click", () => answered(() => drill.answerSpecial(8)));
    $("btnKainashi").addEventListener("click", () => answered(() => drill.answerSpecial(3)));
    $("sentakuClose").addEventListener("click", () => answered(() => drill.answerSpecial(2)));
    $("btnOK").addEventListener("click", () => answered(() => drill.answerUnit(true, shownUnit, markedQuestion)));
    $("btnCancel").addEventListener("click", () => answered(() => drill.answerUnit(false, 0, 0)));
    $("btnShowRecord").addEventListener("click", () => openRecords(true));
    $("btnKirokuClose").addEventListener("click", closeRecords);

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
        if (!$("frmKiroku").hidden) closeRecords();
        else if (!$("questionBox").hidden) $("questionCancel").hidden ? $("questionNo").click() : $("questionCancel").click();
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
    if (e.key === "Enter" || e.key === "Escape" || e.key === "Delete" || isChar) e.preventDefault();
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
  const started = performance.now();
  createSolvari({ measureText }).then((module) => {
    Key = module.Key;
    performance.mark("solvari-module");
    const width = columnWidth();
    buildPage(width);
    drill = new module.Drill(width);
    try {
      const kept = window.localStorage.getItem(RECORD_KEY);
      if (kept) drill.loadRecords(kept);
    } catch (e) { /* no storage: records last for this visit */ }
    drill.start();
    performance.mark("solvari-started");
    savedRecords = drill.recordVersion();
    afterCommand();
    $("app").setAttribute("aria-busy", "false");
    window.solvariReady = { ms: performance.now() - started };
    document.dispatchEvent(new CustomEvent("solvari-ready"));
    // question 1 on screen: the frame after it was drawn (the benchmark reads this mark)
    requestAnimationFrame(() => setTimeout(() => performance.mark("solvari-painted"), 0));
  });
})();
